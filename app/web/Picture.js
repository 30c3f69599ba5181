// The picture: the show's canvas, which the style sheet keeps in a 16:9 box
// centred in the window (black bars beside or above it in any other shape);
// its drawing buffer at the device's pixel density; the show built on it
// and drawn at a show time; and the WebGL context's loss and return.
// Owns: the canvas and the module calls that build and draw the show.
// Reads: the canvas's size on the page. Never touches: the sound, the clock,
// the controls.

export class Picture {
    // Whether the browser offers WebGL 2 at all.
    static hasWebGl2() {
        const probe = document.createElement('canvas').getContext('webgl2');
        if (!probe) return false;
        const lose = probe.getExtension('WEBGL_lose_context');
        if (lose) lose.loseContext();
        return true;
    }

    // `onLost()` and `onRestored()` are called when the browser takes the
    // WebGL context away and when it gives it back (the show must then be
    // built again, see rebuild).
    constructor(canvas, Module, { onLost, onRestored }) {
        this.canvas = canvas;
        this.Module = Module;
        this.lost = false;
        this.drawn = false; // the drawing buffer holds a frame of the show
        this.time = 0; // show time of the last frame drawn
        this.frames = 0;
        this.renderMs = 0; // time spent in the show's render calls
        canvas.addEventListener('webglcontextlost', (event) => {
            // Without this the browser never gives the context back.
            event.preventDefault();
            this.lost = true;
            this.drawn = false;
            onLost();
        });
        canvas.addEventListener('webglcontextrestored', () => {
            this.lost = false;
            onRestored();
        });
    }

    // Makes the context and builds the show: 0 done, 1 no WebGL 2, 2 the
    // show cannot be built (the reason is on the console). `keepFrames`
    // keeps each frame readable after it is shown (for tests).
    start(keepFrames) {
        this.fit();
        return this.Module._quorvane_start(keepFrames ? 1 : 0);
    }

    // Builds the show again on the restored context, from the data in the
    // module's file system; returns as start.
    rebuild() {
        this.fit();
        return this.Module._quorvane_rebuild();
    }

    // Sizes the drawing buffer to the canvas's box at the device's pixel
    // density; true when it changed (the buffer is then blank).
    fit() {
        const box = this.canvas.getBoundingClientRect();
        const ratio = window.devicePixelRatio || 1;
        const width = Math.max(1, Math.round(box.width * ratio));
        const height = Math.max(1, Math.round(box.height * ratio));
        if (this.canvas.width === width && this.canvas.height === height) return false;
        this.canvas.width = width;
        this.canvas.height = height;
        this.drawn = false;
        this.Module._quorvane_resize();
        return true;
    }

    // Draws the frame at show time `time`.
    draw(time) {
        if (this.lost) return;
        const began = performance.now();
        this.Module._quorvane_frame(time);
        this.renderMs += performance.now() - began;
        this.frames += 1;
        this.time = time;
        this.drawn = true;
    }

    // [start, end] of each scene in story order.
    scenes() {
        const list = [];
        for (let i = 0; this.Module._quorvane_scene_start(i) >= 0; ++i)
            list.push([this.Module._quorvane_scene_start(i), this.Module._quorvane_scene_end(i)]);
        return list;
    }
}
