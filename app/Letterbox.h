// Where the picture goes in the player's window: the largest centred
// rectangle of the show's 16:9 shape, so that a window of any other shape
// shows it undistorted, with black bars beside or above and below it. The
// show played as made keeps the whole window instead.
#pragma once

class Letterbox {
public:
    // The shape of the show's pictures: its backdrops are 1920x1080.
    static constexpr int kAspectWidth = 16;
    static constexpr int kAspectHeight = 9;

    // A rectangle as glViewport takes it: x and y from the bottom left.
    struct Rect {
        int x, y, width, height;
    };

    // The picture's rectangle in a drawable of `width` x `height` pixels;
    // the whole drawable when it has the show's shape.
    static Rect fit(int width, int height);

    // Fills the drawable outside `picture` with black. Leaves the clear
    // colour, the scissor test and the scissor box as it found them; needs
    // the GL context.
    static void clearBars(const Rect& picture, int width, int height);
};
