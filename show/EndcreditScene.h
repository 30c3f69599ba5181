// The end credits, until the show's last scene ends.
#pragma once

#include "PictureStage.h"
#include "engine/Scene.h"

class ResourceManager;

class EndcreditScene : public quorvane_engine::Scene, public PictureStage {
public:
    // Fetches the "default" program and the "endcredit" picture.
    explicit EndcreditScene(ResourceManager* resources);
    void render(double time) override;
};
