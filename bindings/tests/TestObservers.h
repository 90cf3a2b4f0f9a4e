#pragma once

// Observers and helpers shared by the bindings tests.

#include "bindings/Source/Core/CBKeyValueObserver.h"
#include "bindings/Source/Core/CBKeyValueStore.h"

#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace tw::test {

using Texts = std::vector<std::string>;
using Callback = std::function<void(CBKeyValueStore const*, CBString const&)>;

// Records every notification as "changing key" or "changed key" and runs an optional action.
class RecordingObserver : public CBKeyValueObserver {
public:
    void ValueChanging(CBKeyValueStore const* theStore, CBString const& theKeyPath) override
    {
        Record("changing ", theStore, theKeyPath, mOnChanging);
    }
    void ValueChanged(CBKeyValueStore const* theStore, CBString const& theKeyPath) override
    {
        Record("changed ", theStore, theKeyPath, mOnChanged);
    }

    Texts mEvents;
    Callback mOnChanging;
    Callback mOnChanged;

private:
    void Record(char const* what, CBKeyValueStore const* store, CBString const& key, Callback const& action)
    {
        mEvents.push_back(what + std::string(key.GetUTF8()));
        if (action)
            action(store, key);
    }
};

template <typename T, void (CBValue::*Set)(T)> CBValue Make(T value)
{
    CBValue result;
    (result.*Set)(value);
    return result;
}
inline CBValue MakeBoolean(bool value) { return Make<bool, &CBValue::SetBoolean>(value); }
inline CBValue MakeUInt32(UInt32 value) { return CBValue(value); }
inline CBValue MakeSInt32(SInt32 value) { return Make<SInt32, &CBValue::SetSInt32>(value); }
inline CBValue MakeSInt64(SInt64 value) { return Make<SInt64, &CBValue::SetSInt64>(value); }
inline CBValue MakeDouble(double value) { return Make<double, &CBValue::SetDouble>(value); }

// The conditions of the misuse reports "path, line N: condition" in captured standard
// error, in order; a line of another form is kept whole, marked "unparsed: ".
inline Texts ReportedConditions(std::string const& text)
{
    static std::regex const report("^.+\\.cpp, line [0-9]+: (.*)$");
    Texts conditions;
    std::istringstream lines(text);
    std::string line;
    std::smatch match;
    while (std::getline(lines, line))
        conditions.push_back(std::regex_match(line, match, report) ? match[1].str() : "unparsed: " + line);
    return conditions;
}

} // namespace tw::test
