// The viewer's controls: the keys (one table from key to action name), taps
// and clicks, and the control bar (pause, the timeline with the scenes
// marked, the time, captions, mute, full screen) that appears when the mouse
// moves or the picture is tapped and hides again while the show plays.
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
    m: 'mute',
    c: 'captions',
    f: 'fullScreen',
    escape: 'escape',
};
// Actions that a held key repeats.
const kRepeating = new Set(['back', 'forward']);
// Keys that neither start the show nor act: Tab and the modifiers.
const kIgnoredKeys = new Set(['Tab', 'Shift', 'Control', 'Alt', 'AltGraph', 'Meta', 'OS', 'CapsLock', 'NumLock',
    'ScrollLock', 'Fn', 'FnLock', 'ContextMenu', 'Dead', 'Unidentified']);
// The bar hides after this long without the pointer moving while the show plays.
const kIdleMs = 3000;

export class Controls {
    // `actions`: a function for each action of kKeyActions, and start(),
    // seekTo(seconds), watchAgain(), gesture() (called first in every viewer
    // gesture), state() (the page's state).
    constructor(actions) {
        this.actions = actions;
        const byId = (id) => document.getElementById(id);
        this.bar = byId('controls');
        this.timeline = byId('timeline');
        this.elapsed = byId('elapsed');
        this.marks = byId('marks');
        this.timeText = byId('time');
        this.buttons = { playPause: byId('play'), captions: byId('cc'), mute: byId('mute'), fullScreen: byId('full') };
        this.touch = matchMedia('(pointer: coarse)').matches;
        this.length = 1;
        this.shownSecond = -1;
        this.hideTimer = 0;
        this.pointerHeld = false;

        window.addEventListener('keydown', (event) => this.key(event));
        window.addEventListener('pointerdown', (event) => {
            this.touch = event.pointerType === 'touch' || event.pointerType === 'pen';
        });
        window.addEventListener('pointerup', (event) => this.pointerUp(event));
        window.addEventListener('pointermove', (event) => {
            if (event.pointerType === 'mouse') this.reveal();
        });
        byId('stage').addEventListener('dblclick', () => this.actions.fullScreen());
        for (const [action, button] of Object.entries(this.buttons))
            button.addEventListener('click', () => {
                this.actions[action]();
                this.reveal();
            });
        byId('start').addEventListener('click', () => this.actions.start());
        byId('again').addEventListener('click', () => this.actions.watchAgain());
        byId('sound-hint').addEventListener('click', () => this.actions.gesture());
        this.timeline.addEventListener('click', (event) => {
            const box = this.timeline.getBoundingClientRect();
            this.actions.seekTo(this.length * Math.min(1, Math.max(0, (event.clientX - box.left) / box.width)));
            this.reveal();
        });
    }

    key(event) {
        if (kIgnoredKeys.has(event.key) || event.ctrlKey || event.altKey || event.metaKey) return;
        // A focused button takes its own Space and Enter.
        if ((event.key === ' ' || event.key === 'Enter') && event.target instanceof HTMLButtonElement) {
            this.actions.gesture();
            return;
        }
        this.actions.gesture();
        if (this.actions.state() === 'ready') {
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
        this.reveal();
    }

    pointerUp(event) {
        if (event.pointerType === 'mouse' && event.button !== 0) return;
        this.actions.gesture();
        if (event.target.closest('button, #controls')) return;
        const state = this.actions.state();
        if (state === 'ready') this.actions.start();
        else if (state === 'playing' && this.touch && this.bar.classList.contains('shown')) this.conceal();
        else if (state === 'playing' || state === 'paused') this.reveal();
    }

    // Marks the scenes' starts on the timeline; `length` is the show's.
    setScenes(scenes, length) {
        this.length = length;
        this.marks.replaceChildren();
        for (const [index, [start]] of scenes.entries()) {
            const mark = document.createElement('span');
            mark.style.left = `${(100 * start) / length}%`;
            mark.title = `Scene ${index + 1}, ${clockText(start)}`;
            this.marks.append(mark);
        }
        this.timeline.setAttribute('aria-valuemax', String(Math.round(length)));
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
            this.timeline.setAttribute('aria-valuetext', text.replace(' / ', ' of '));
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

    // Shows the bar; while the show plays it hides again after a while.
    reveal() {
        const state = this.actions.state();
        if (state !== 'playing' && state !== 'paused') return;
        this.bar.classList.add('shown');
        document.body.classList.add('pointer');
        clearTimeout(this.hideTimer);
        this.hideTimer = setTimeout(() => {
            if (this.actions.state() === 'playing' && !this.bar.matches(':hover, :focus-within')) this.conceal();
        }, kIdleMs);
    }

    conceal() {
        clearTimeout(this.hideTimer);
        this.bar.classList.remove('shown');
        document.body.classList.remove('pointer');
    }
}
