// A still picture of a computer on a desk.
#pragma once

#include "PictureStage.h"
#include "engine/Scene.h"

class ResourceManager;

class AmigaOnDeskScene : public quorvane_engine::Scene, public PictureStage {
public:
    // Fetches the "default" program and the "desk" picture.
    explicit AmigaOnDeskScene(ResourceManager* resources);
    void render(double time) override;
};
