// A still picture of packs of software boxes.
#pragma once

#include "PictureStage.h"
#include "engine/Scene.h"

class ResourceManager;

class StuffScene : public quorvane_engine::Scene, public PictureStage {
public:
    // Fetches the "default" program and the "packs" picture.
    explicit StuffScene(ResourceManager* resources);
    void render(double time) override;
};
