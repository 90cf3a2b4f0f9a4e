#pragma once

// The makers of the standard control behaviours, one per system class family.

namespace tw::toolbox {
class View;
}

namespace tw::toolbox::controls {

class Behaviour;

Behaviour* MakePushButton(View* view);
Behaviour* MakeBevelButton(View* view);
Behaviour* MakeCheckBox(View* view);
Behaviour* MakeRadioButton(View* view);
Behaviour* MakeRadioGroup(View* view);
Behaviour* MakePopupButton(View* view);
Behaviour* MakeSlider(View* view);
Behaviour* MakeStaticText(View* view);
Behaviour* MakeEditText(View* view);
Behaviour* MakeProgressBar(View* view);
Behaviour* MakeChasingArrows(View* view);
Behaviour* MakeGroupBox(View* view);
Behaviour* MakeWindowHeader(View* view);
Behaviour* MakeUserPane(View* view);
Behaviour* MakeIconView(View* view);
Behaviour* MakeSegmentedView(View* view);
Behaviour* MakeScrollView(View* view);
Behaviour* MakeDataBrowser(View* view);
Behaviour* MakeSearchField(View* view);

} // namespace tw::toolbox::controls
