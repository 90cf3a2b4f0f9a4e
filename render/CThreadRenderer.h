#pragma once

// One render worker of a map view's renderer: on each run it takes pending
// tiles one after another, draws each into a 256-pixel image with its names
// measured and drawn, gives the image to the tile, and hands the names to the
// main thread, which commits them with the tile. Owned by its CLayerRenderer.

#include "foundation/CThreadTask.h"

class CLayerRenderer;
class CMapManager;

class CThreadRenderer : public CThreadTask {
public:
    CThreadRenderer(CLayerRenderer& renderer, CMapManager& manager);
    ~CThreadRenderer() override;

protected:
    void DoTask() override;
    void DoMainTask() override;

private:
    void HandOff();

    CLayerRenderer& mRenderer;
    CMapManager& mManager;
};
