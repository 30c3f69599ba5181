// Captions: the cues of the cue file the content build writes (WebVTT, the
// one source of the cues the player and the capture tool draw too), read by
// the desktop player's own reader in the show's module, and the cue of the
// show time shown as page text, so that screen readers and the browser's zoom
// work with it.
// Owns: the captions' element and whether captions are on. Reads: the
// module's cues. Never touches: the clock, the sound, the picture.

// The cues of the captions file in the module's file system, as the desktop
// player reads them: { cues: [{ start, end, text }], error ('' or why the
// file was refused), at(time) (the index of the cue shown then, or -1) }.
export function readCues(Module) {
    const count = Module._quorvane_load_cues();
    const cues = [];
    for (let i = 0; i < count; ++i)
        cues.push({
            start: Module._quorvane_cue_start(i),
            end: Module._quorvane_cue_end(i),
            text: Module.UTF8ToString(Module._quorvane_cue_text(i)),
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
        this.element.replaceChildren();
        for (const line of index >= 0 ? this.reader.cues[index].text.split('\n') : []) {
            const span = document.createElement('span');
            span.textContent = line;
            this.element.append(span, document.createElement('br'));
        }
    }
}
