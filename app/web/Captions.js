// Captions: reads the cue file the content build writes (WebVTT: the one
// source of the cues the player and the capture tool draw too) and shows the
// cue of the show time as page text over the picture, so that screen readers
// and the browser's zoom work with it.
// Owns: the captions' element and whether captions are on. Reads: the cue
// text. Never touches: the clock, the sound, the picture.

// The cues of WebVTT `text`: [{ start, end, lines }] in seconds, in file
// order. Blocks without a valid timing line (notes, styles, damaged cues)
// are left out.
export function readCues(text) {
    const blocks = text.replace(/^\uFEFF/, '').replace(/\r\n?/g, '\n').split(/\n{2,}/);
    if (!/^WEBVTT(\s|$)/.test(blocks[0] || '')) return [];
    const cues = [];
    for (const block of blocks.slice(1)) {
        const lines = block.split('\n');
        const timing = lines.findIndex((line) => line.includes('-->'));
        if (timing < 0 || timing > 1) continue;
        const [from, to] = lines[timing].split('-->').map((part) => seconds(part.trim().split(/\s+/)[0]));
        if (!(from >= 0) || !(to > from)) continue;
        cues.push({ start: from, end: to, lines: lines.slice(timing + 1).filter((line) => line !== '') });
    }
    return cues;
}

// Seconds of a WebVTT timestamp (hh:mm:ss.ttt or mm:ss.ttt), NaN if it is
// none.
function seconds(stamp) {
    const match = /^(?:(\d+):)?(\d{2}):(\d{2})\.(\d{3})$/.exec(stamp || '');
    if (!match) return NaN;
    return Number(match[1] || 0) * 3600 + Number(match[2]) * 60 + Number(match[3]) + Number(match[4]) / 1000;
}

export class Captions {
    // `element` shows the text; `cues` from readCues.
    constructor(element, cues) {
        this.element = element;
        this.cues = cues;
        this.on = false;
        this.chosen = false; // the viewer switched them on or off
        this.shown = null; // the cue on the page
    }

    get available() {
        return this.cues.length > 0;
    }

    // The text on the page now, lines joined by a line feed; '' when none.
    get text() {
        return this.on && this.shown ? this.shown.lines.join('\n') : '';
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
        this.shown = undefined; // redrawn at the next update
    }

    // Shows the cue of show time `time`.
    update(time) {
        const cue = this.cues.find((each) => each.start <= time && time < each.end) || null;
        if (cue === this.shown) return;
        this.shown = cue;
        this.element.replaceChildren();
        for (const line of cue ? cue.lines : []) {
            const span = document.createElement('span');
            span.textContent = line;
            this.element.append(span, document.createElement('br'));
        }
    }
}
