// The page's words: the loading card with its progress bar, the start card,
// the failure and end cards, the note over the show (no music, a lost
// picture) and the live region that tells screen readers each change.
// Owns: #card and what is in it, #note, #status. Never touches: the show,
// the sound, the clock.

// m:ss of `seconds`.
export function clockText(seconds) {
    const whole = Math.max(0, Math.floor(seconds));
    return `${Math.floor(whole / 60)}:${String(whole % 60).padStart(2, '0')}`;
}

export class Cards {
    constructor() {
        const byId = (id) => document.getElementById(id);
        this.bar = byId('bar');
        this.progressBar = byId('progress');
        this.message = byId('message');
        this.advice = byId('advice');
        this.startButton = byId('start');
        this.againButton = byId('again');
        this.noteLine = byId('note');
        this.status = byId('status');
    }

    progress(fraction) {
        const percent = Math.round(Math.min(1, Math.max(0, fraction)) * 100);
        this.bar.style.width = percent + '%';
        this.progressBar.setAttribute('aria-valuenow', String(percent));
    }

    loading() {
        this.show('Loading…', '');
        this.announce('Loading Quorvane');
    }

    // The start card: `touch` chooses the words, `startAt` is the show time
    // the show starts at.
    ready(touch, startAt) {
        const from = startAt > 0 ? ` from ${clockText(startAt)}` : '';
        const start = (touch ? 'Tap to start' : 'Click or press a key to start') + from;
        this.show(start, touch
            ? 'With sound. Tap the picture for the controls.'
            : 'Space: pause · ← →: 5 s back or on · M: mute · C: captions · F: full screen · Esc: end');
        this.startButton.textContent = touch ? 'Tap to start' : 'Start';
        this.startButton.hidden = false;
        this.announce(`Quorvane is ready. ${start}.`);
    }

    failed(message, advice) {
        this.show(message, advice);
        this.announce(`${message} ${advice}`);
    }

    noWebGl2() {
        this.failed('This browser cannot show Quorvane: it has no WebGL 2.',
            'Try a current Chromium, Chrome, Edge, Firefox or Safari with hardware acceleration switched on.');
    }

    ended() {
        this.show('The end', 'Thank you for watching.');
        this.againButton.hidden = false;
        this.againButton.focus({ preventScroll: true });
        this.announce('The end.');
    }

    // Clears the card's buttons (the show plays; the style sheet hides it).
    playing() {
        this.startButton.hidden = true;
        this.againButton.hidden = true;
    }

    // A line over the show; '' takes it away.
    note(text) {
        this.noteLine.textContent = text;
        this.noteLine.hidden = !text;
        if (text) this.announce(text);
    }

    // Tells screen readers `text` through the live region.
    announce(text) {
        this.status.textContent = text;
    }

    show(message, advice) {
        this.message.textContent = message;
        this.advice.textContent = advice;
        this.startButton.hidden = true;
        this.againButton.hidden = true;
    }
}
