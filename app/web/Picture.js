// The picture: the stage (the canvas and what lies over it) in the largest
// 16:9 box the window holds, centred (black bars beside or above it in any
// other shape); the canvas's drawing buffer as many pixels as the device
// shows it on, so that the browser shows it pixel for pixel; the show built
// on it and drawn at a show time; and the WebGL context's loss and return.
// Owns: the stage's box, the canvas and the module calls that build and draw
// the show. Reads: the window's size. Never touches: the sound, the clock,
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
    // built again, see rebuild); `onResized()` when the drawing buffer
    // changed size by itself (it is then blank).
    constructor(stage, canvas, Module, { onLost, onRestored, onResized }) {
        this.stage = stage;
        this.canvas = canvas;
        this.Module = Module;
        this.lost = false;
        this.time = 0; // show time of the last frame drawn
        this.frames = 0;
        this.renderMs = 0; // time spent in the show's render calls
        canvas.addEventListener('webglcontextlost', (event) => {
            // Without this the browser never gives the context back.
            event.preventDefault();
            this.lost = true;
            onLost();
        });
        canvas.addEventListener('webglcontextrestored', () => {
            this.lost = false;
            onRestored();
        });
        // Where the browser tells how many device pixels it shows the canvas
        // on, the buffer takes that size; elsewhere fit's own reckoning stands.
        this.shown = null; // [width, height] in device pixels
        try {
            new ResizeObserver(([entry]) => {
                const [size] = entry.devicePixelContentBoxSize || [];
                // (Chromium's device emulation tells CSS pixels here.)
                const ratio = window.devicePixelRatio || 1;
                if (!size || Math.abs(size.inlineSize - entry.contentRect.width * ratio) > 2) return;
                this.shown = [size.inlineSize, size.blockSize];
                if (this.resizeBuffer(...this.shown)) onResized();
            }).observe(canvas, { box: 'device-pixel-content-box' });
        } catch {
            // An older browser: the reckoning serves.
        }
    }

    // Makes the context and builds the show: 0 done, 1 no WebGL 2, 2 the
    // show cannot be built (the reason is on the console), 3 a shader program
    // did not link (see brokenShader). `keepFrames`
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

    // Fits the stage to the window and the drawing buffer to the stage; true
    // when the buffer changed size (it is then blank).
    fit() {
        const ratio = window.devicePixelRatio || 1;
        // Whole CSS pixels: browsers lay out in fractions of a pixel that a
        // pixel ratio such as 3 does not divide, and would then scale the
        // picture by a row.
        const width = Math.max(1, Math.min(window.innerWidth, Math.floor((window.innerHeight * 16) / 9)));
        const height = Math.max(1, Math.min(window.innerHeight, Math.round((width * 9) / 16)));
        Object.assign(this.stage.style, {
            left: `${Math.floor((window.innerWidth - width) / 2)}px`,
            top: `${Math.floor((window.innerHeight - height) / 2)}px`,
            width: `${width}px`,
            height: `${height}px`,
            margin: '0',
        });
        document.documentElement.style.setProperty('--h', `${height}px`);
        this.shown = null; // until the browser tells again
        return this.resizeBuffer(Math.round(width * ratio), Math.round(height * ratio));
    }

    resizeBuffer(width, height) {
        if (this.canvas.width === width && this.canvas.height === height) return false;
        this.canvas.width = width;
        this.canvas.height = height;
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
    }

    // { start, end, title } of each scene in story order; the title is the
    // scene's class name in words ("CemetryNightScene": "Cemetry night").
    scenes() {
        const list = [];
        for (let i = 0; this.Module._quorvane_scene_start(i) >= 0; ++i) {
            const name = this.Module.UTF8ToString(this.Module._quorvane_scene_name(i)).replace(/Scene$/, '');
            const words = name.replace(/([a-z])([A-Z])/g, '$1 $2');
            list.push({
                start: this.Module._quorvane_scene_start(i),
                end: this.Module._quorvane_scene_end(i),
                title: words.charAt(0) + words.slice(1).toLowerCase(),
            });
        }
        return list;
    }

    // The name of the shader program that did not link (after start or
    // rebuild returned 3).
    brokenShader() {
        return this.Module.UTF8ToString(this.Module._quorvane_broken_shader());
    }
}
