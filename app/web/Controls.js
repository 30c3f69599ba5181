// The viewer's controls: the keys (one table from key to action name), taps
// and clicks, and the control bar (pause, the timeline with the scenes
// marked, the time, captions, mute, full screen) that appears when the mouse
// moves, the picture is tapped or focus enters it, and fades again while the
// show plays. A faded bar stays in the page for keyboards and screen readers
// (it only turns transparent and lets pointers through), and a tap that
// finds it faded only brings it back.
// Owns: the control bar's elements, the key table, the kind of pointer last
// used. Reads: what update() is given. Never touches: the sound, the clock,
// the picture: it calls the page's actions by name.
import { clockText } from './Cards.js';

// Key (event.key, lower case) to action.
export const kKeyActions = {
    ' ': 'playPause',
    k: 'playPause',
    arrowleft: 'back',
    arrowright: 'forward',
    home: 'toStart',
    end: 'toEnd',
    pageup: 'previousScene',
    pagedown: 'nextScene',
    m: 'mute',
    c: 'captions',
    f: 'fullScreen',
    escape: 'escape',
};
// Actions that a held key repeats.
const kRepeating = new Set(['back', 'forward', 'previousScene', 'nextScene']);
// Keys that neither start the show nor act: Tab and the modifiers.
const kIgnoredKeys = new Set(['Tab', 'Shift', 'Control', 'Alt', 'AltGraph', 'Meta', 'OS', 'CapsLock', 'NumLock',
    'ScrollLock', 'Fn', 'FnLock', 'ContextMenu', 'Dead', 'Unidentified']);
// The bar fades after this long without the pointer moving or a touch while
// the show plays.
const kIdleMs = 3000;

// Whether `target` takes typed text (keys there are the viewer's typing).
function isTextField(target) {
    return target instanceof HTMLElement && (target.isContentEditable
        || target instanceof HTMLTextAreaElement
        || (target instanceof HTMLInputElement && !['button', 'checkbox', 'radio', 'range', 'submit'].includes(target.type)));
}

export class Controls {
    // `actions`: a function for each action of kKeyActions, and start(),
    // seekTo(seconds), scrubbing(on) (a drag on the timeline begins or ends),
    // watchAgain(), gesture() (called first in every viewer
    // gesture), showing() (whether the show and its bar are on the screen),
    // running() (whether the picture moves), ready() (the start card waits).
    constructor(actions) {
        this.actions = actions;
        const byId = (id) => document.getElementById(id);
        this.bar = byId('controls');
        this.timeline = byId('timeline');
        this.elapsed = byId('elapsed');
        this.marks = byId('marks');
        this.tip = byId('tip');
        this.timeText = byId('time');
        this.buttons = { playPause: byId('play'), captions: byId('cc'), mute: byId('mute'), fullScreen: byId('full') };
        this.touch = matchMedia('(pointer: coarse)').matches;
        this.mouse = false; // the last pointer was a mouse
        this.length = 1;
        this.scenes = [];
        this.shownSecond = -1;
        this.hideTimer = 0;
        this.barWasShown = false; // at the last pointerdown
        this.dragging = false;

        window.addEventListener('keydown', (event) => this.key(event));
        // A focused button would take Space on its release as a click.
        window.addEventListener('keyup', (event) => {
            if (event.key === ' ' && event.target instanceof HTMLButtonElement) event.preventDefault();
        });
        window.addEventListener('pointerdown', (event) => {
            this.touch = event.pointerType === 'touch' || event.pointerType === 'pen';
            this.mouse = event.pointerType === 'mouse';
            document.body.classList.toggle('touch', this.touch);
            this.barWasShown = this.bar.classList.contains('shown');
        }, true);
        window.addEventListener('pointerup', (event) => this.pointerUp(event));
        // A tap that found the bar faded only brings it back: what lies
        // under the finger in the bar does not act.
        window.addEventListener('click', (event) => {
            if (this.touch && !this.barWasShown && event.target instanceof Element && event.target.closest('#controls')) {
                event.stopPropagation();
                event.preventDefault();
            }
        }, true);
        window.addEventListener('pointermove', (event) => {
            if (event.pointerType === 'mouse') this.reveal();
        });
        this.bar.addEventListener('focusin', () => this.reveal());
        this.bar.addEventListener('focusout', () => this.reveal());
        byId('stage').addEventListener('dblclick', () => this.actions.fullScreen());
        for (const [action, button] of Object.entries(this.buttons))
            button.addEventListener('click', () => {
                this.actions[action]();
                this.reveal();
            });
        byId('start').addEventListener('click', () => this.actions.start());
        byId('again').addEventListener('click', () => this.actions.watchAgain());
        byId('sound-hint').addEventListener('click', () => this.actions.gesture());
        this.timelineEvents();
    }

    // The timeline: a hover tells the time and the scene there, a press
    // seeks there and a drag scrubs.
    timelineEvents() {
        const timeline = this.timeline;
        const timeAt = (event) => {
            const box = timeline.getBoundingClientRect();
            return this.length * Math.min(1, Math.max(0, (event.clientX - box.left) / box.width));
        };
        timeline.addEventListener('pointerdown', (event) => {
            if (this.touch && !this.barWasShown) return;
            if (event.pointerType === 'mouse' && event.button !== 0) return;
            this.dragging = true;
            this.actions.scrubbing(true);
            timeline.setPointerCapture(event.pointerId);
            this.actions.seekTo(timeAt(event));
            this.showTip(timeAt(event));
        });
        timeline.addEventListener('pointermove', (event) => {
            this.showTip(timeAt(event));
            if (this.dragging) this.actions.seekTo(timeAt(event));
        });
        const release = () => {
            if (this.dragging) this.actions.scrubbing(false);
            this.dragging = false;
            if (!this.touch) return;
            this.tip.hidden = true;
        };
        timeline.addEventListener('pointerup', release);
        timeline.addEventListener('pointercancel', release);
        timeline.addEventListener('pointerleave', () => {
            if (!this.dragging) this.tip.hidden = true;
        });
    }

    // Shows the time `time` and the title of its scene over the timeline.
    showTip(time) {
        const scene = this.sceneAt(time);
        this.tip.textContent = scene ? `${clockText(time)} · ${scene.title}` : clockText(time);
        this.tip.style.left = `${(100 * time) / this.length}%`;
        this.tip.hidden = false;
    }

    // The scene { start, end, title } showing at `time`, or null.
    sceneAt(time) {
        return this.scenes.find((scene) => scene.start <= time && time < scene.end)
            || (time >= this.length ? this.scenes[this.scenes.length - 1] : null) || null;
    }

    key(event) {
        if (kIgnoredKeys.has(event.key) || event.ctrlKey || event.altKey || event.metaKey) return;
        if (isTextField(event.target)) return;
        // A focused button takes its own Enter.
        if (event.key === 'Enter' && event.target instanceof HTMLButtonElement) {
            this.actions.gesture();
            return;
        }
        this.actions.gesture();
        if (this.actions.ready()) {
            // (Escape is no gesture that lets sound start.)
            if (event.key === 'Escape') return;
            event.preventDefault();
            if (!event.repeat) this.actions.start();
            return;
        }
        const action = kKeyActions[event.key.toLowerCase()];
        if (!action) return;
        event.preventDefault();
        if (event.repeat && !kRepeating.has(action)) return;
        this.actions[action]();
        if (action !== 'escape') this.reveal();
    }

    pointerUp(event) {
        if (event.pointerType === 'mouse' && event.button !== 0) return;
        this.actions.gesture();
        if (event.target instanceof Element && event.target.closest('button, #controls, #note')) {
            if (this.touch) this.reveal();
            return;
        }
        if (this.actions.ready()) this.actions.start();
        else if (this.actions.running() && this.touch && this.barWasShown) this.conceal();
        else if (this.actions.showing()) this.reveal();
    }

    // Marks the scenes' starts on the timeline; `scenes`: [{ start, end,
    // title }] in show order; `length` is the show's.
    setScenes(scenes, length) {
        this.length = length;
        this.scenes = scenes;
        this.marks.replaceChildren();
        for (const [index, { start, title }] of scenes.entries()) {
            const mark = document.createElement('span');
            mark.style.left = `${(100 * start) / length}%`;
            mark.title = `Scene ${index + 1}, ${title}, ${clockText(start)}`;
            this.marks.append(mark);
        }
        this.timeline.setAttribute('aria-valuemax', String(Math.round(length)));
    }

    // The start of the scene before (`step` -1) or after (+1) the one at
    // `time`; a step back from well inside a scene goes to its own start.
    sceneStart(time, step) {
        const starts = this.scenes.map((scene) => scene.start);
        if (step > 0) return starts.find((start) => start > time + 0.01) ?? this.length;
        const before = starts.filter((start) => start < time - 1);
        return before.length ? before[before.length - 1] : 0;
    }

    // Shows the page's state on the bar.
    update({ time, paused, muted, captions, captionsAvailable, fullScreen }) {
        this.elapsed.style.width = `${(100 * Math.min(time, this.length)) / this.length}%`;
        const second = Math.floor(time);
        if (second !== this.shownSecond) {
            this.shownSecond = second;
            const text = `${clockText(time)} / ${clockText(this.length)}`;
            this.timeText.textContent = text;
            this.timeline.setAttribute('aria-valuenow', String(second));
            const scene = this.sceneAt(time);
            this.timeline.setAttribute('aria-valuetext', text.replace(' / ', ' of ') + (scene ? `, ${scene.title}` : ''));
        }
        this.label('playPause', paused ? 'Play' : 'Pause', null);
        this.label('mute', 'Mute', muted);
        this.label('captions', 'Captions', captions);
        this.label('fullScreen', 'Full screen', fullScreen);
        this.buttons.captions.hidden = !captionsAvailable;
        this.buttons.fullScreen.hidden = !document.fullscreenEnabled;
        if (paused) this.reveal();
    }

    label(action, name, pressed) {
        const button = this.buttons[action];
        if (button.getAttribute('aria-label') !== name) button.setAttribute('aria-label', name);
        if (pressed !== null && button.getAttribute('aria-pressed') !== String(pressed))
            button.setAttribute('aria-pressed', String(pressed));
        button.dataset.state = pressed === null ? name.toLowerCase() : String(pressed);
    }

    // Shows the bar; while the show plays it fades again after a while,
    // unless the mouse rests on it or the keyboard's focus is in it.
    reveal() {
        if (!this.actions.showing()) return;
        this.bar.classList.add('shown');
        document.body.classList.add('pointer');
        clearTimeout(this.hideTimer);
        this.hideTimer = setTimeout(() => {
            if (!this.actions.running() || this.dragging) return;
            if ((this.mouse && this.bar.matches(':hover')) || this.bar.querySelector(':focus-visible')) this.reveal();
            else this.conceal();
        }, kIdleMs);
    }

    conceal() {
        clearTimeout(this.hideTimer);
        this.bar.classList.remove('shown');
        document.body.classList.remove('pointer');
        this.tip.hidden = true;
    }
}
