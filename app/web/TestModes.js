// The page's modes for tests and benchmarks, with no sound and no controls:
// ?t=T&still draws the one frame at T and stops (its drawing buffer stays
// readable; report.drawStill draws later ones); ?t=T&bench=S draws frames for S seconds of wall-clock time from
// T as fast as the browser shows them.
// Owns: nothing but its own loop. Reads: the picture. Never touches: the
// sound, the clock, the controls.

// Draws the frame at `time` once the canvas has its size; resolves when done.
// Later frames of the same page: report.drawStill(time), at later times
// only (the scenes' state moves forward as when playing up to them).
export async function still(picture, time, report) {
    // The browser tells the canvas's size in device pixels by the next frame.
    await new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve)));
    const draw = (at) => {
        picture.draw(at);
        report.frames = picture.frames;
        report.showTime = at;
    };
    draw(time);
    report.drawStill = draw;
}

// Draws frames from `time` on for `seconds`; `onDone()` when over, with the
// figures in `report` (benchFrames, benchSeconds, renderMs).
export function bench(picture, time, seconds, report, onDone) {
    const began = performance.now();
    const step = () => {
        const elapsed = (performance.now() - began) / 1000;
        if (elapsed >= seconds) {
            report.benchFrames = picture.frames;
            report.benchSeconds = elapsed;
            report.renderMs = picture.renderMs;
            onDone();
            return;
        }
        picture.draw(time + elapsed);
        requestAnimationFrame(step);
    };
    requestAnimationFrame(step);
}
