// Captions: the cues of the cue file the content build writes (WebVTT, the
// one source of the cues the player and the capture tool draw too), read by
// the desktop player's own reader in the show's module, and the cue of the
// show time shown as page text, so that screen readers and the browser's zoom
// work with it.
// Owns: the captions' element and whether captions are on. Reads: the
// module's cues. Never touches: the clock, the sound, the picture.

// The cues of the captions file in the module's file system, as the desktop
// player reads them: { cues: [{ start, end, text, place }], error ('' or why
// the file was refused), at(time) (the index of the cue shown then, or -1) }.
// `place` is where the cue stands, from its settings: { settings (as kept),
// left and right (the box across the picture, percent of its width), line
// (percent of its height, or null: the captions' own place), lineAlign
// ('start', 'center' or 'end': which of the box's top, middle or bottom
// stands there), align ('left', 'center' or 'right') }.
export function readCues(Module) {
    const count = Module._quorvane_load_cues();
    const cues = [];
    for (let i = 0; i < count; ++i)
        cues.push({
            start: Module._quorvane_cue_start(i),
            end: Module._quorvane_cue_end(i),
            text: Module.UTF8ToString(Module._quorvane_cue_text(i)),
            place: JSON.parse(Module.UTF8ToString(Module._quorvane_cue_place(i))),
        });
    return {
        cues,
        error: count < 0 ? Module.UTF8ToString(Module._quorvane_cue_error()) : '',
        at: (time) => Module._quorvane_cue_at(time),
    };
}

export class Captions {
    // `element` shows the text; `reader` from readCues (null: none).
    constructor(element, reader) {
        this.element = element;
        this.reader = reader || { cues: [], error: '', at: () => -1 };
        this.on = false;
        this.chosen = false; // the viewer switched them on or off
        this.shown = null; // the index of the cue on the page
        // The stylesheet keeps a cue placed on a line inside the picture by
        // the element's height, which changes with the text and the window.
        this.heights = new ResizeObserver(() =>
            element.style.setProperty('--cue-height', `${element.offsetHeight}px`));
        this.heights.observe(element);
    }

    get available() {
        return this.reader.cues.length > 0;
    }

    // The text on the page now, lines joined by a line feed; '' when none.
    get text() {
        return this.on && this.shown !== null && this.shown >= 0 ? this.reader.cues[this.shown].text : '';
    }

    toggle() {
        this.chosen = true;
        this.setOn(!this.on);
    }

    // Switches captions on unless the viewer chose otherwise (the show plays
    // without sound).
    suggest() {
        if (!this.chosen) this.setOn(true);
    }

    setOn(on) {
        this.on = on && this.available;
        this.element.hidden = !this.on;
        this.shown = null; // redrawn at the next update
    }

    // Shows the cue of show time `time`.
    update(time) {
        if (!this.available) return;
        const index = this.reader.at(time);
        if (index === this.shown) return;
        this.shown = index;
        this.place(index >= 0 ? this.reader.cues[index].place : null);
        this.element.replaceChildren();
        for (const line of index >= 0 ? this.reader.cues[index].text.split('\n') : []) {
            const span = document.createElement('span');
            span.textContent = line;
            this.element.append(span, document.createElement('br'));
        }
    }

    // Puts the element where a cue's `place` (from readCues) says over the
    // picture: its lines aligned in the box across the picture, its top,
    // middle or bottom on the line; null, or no settings: the captions' own
    // place. The stylesheet does the rest (and leaves a phone's captions in
    // the band under the picture).
    place(place) {
        const style = this.element.style;
        const across = place !== null && (place.left !== 0 || place.right !== 100 || place.align !== 'center');
        const lined = place !== null && place.line !== null;
        this.element.classList.toggle('across', across);
        this.element.classList.toggle('lined', lined);
        if (across) {
            style.setProperty('--cue-left', `${place.left}%`);
            style.setProperty('--cue-right', `${100 - place.right}%`);
            style.setProperty('--cue-align', place.align);
        }
        if (lined) {
            style.setProperty('--cue-line', `${place.line}%`);
            style.setProperty('--cue-lift', { start: 0, center: 0.5, end: 1 }[place.lineAlign]);
        }
    }
}
