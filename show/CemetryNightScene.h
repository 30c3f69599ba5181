// The cemetery at night; past 104 s its picture changes to the arm rising
// from the grave.
#pragma once

#include "engine/Gl.h"

#include "PictureStage.h"
#include "engine/Scene.h"

class ResourceManager;

class CemetryNightScene : public quorvane_engine::Scene, public PictureStage {
public:
    // Show time after which the second picture is shown.
    static constexpr double kSurpriseTime = 104.0;

    // Fetches the "default" program and the "cemetry_night" and
    // "surprisearm" pictures.
    explicit CemetryNightScene(ResourceManager* resources);
    void render(double time) override;

    // The picture shown at `time`.
    GLuint pictureAt(double time) const;

    GLuint surpriseBackdrop;
};
