// The time window of every scene, in story order, written once. The scenes
// are contiguous, so the table holds the boundaries: scene i draws strictly
// between kBoundaries[i] and kBoundaries[i + 1] seconds of show time, and at
// a boundary itself no scene draws.
#pragma once

namespace quorvane_engine {
class Scene;
}

class SceneWindows {
public:
    // The scenes in story order.
    enum Index {
        Intro,
        Home,
        Stuff,
        Telephone,
        Funeral,
        CemetryNight,
        CemetryDay,
        VeryrichOffice,
        Office,
        AmigaOnDesk,
        Shop,
        Party,
        Endcredit,
        kSceneCount
    };

    // Where each scene starts, and last where the show ends (seconds).
    static constexpr double kBoundaries[kSceneCount + 1] = {
        0.0,        // Intro
        5.417,      // Home
        30.998719,  // Stuff
        46.396776,  // Telephone
        58.472094,  // Funeral
        99.763199,  // CemetryNight
        105.962943, // CemetryDay
        125.251035, // VeryrichOffice
        168.851848, // Office
        180.157,    // AmigaOnDesk
        192.273103, // Shop
        207.711681, // Party
        280.244632, // Endcredit
        286.403855, // the end
    };

    // Gives `scene` the window of scene `index`.
    static void apply(quorvane_engine::Scene& scene, Index index);
};
