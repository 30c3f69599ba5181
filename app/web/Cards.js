// The page's words: the loading card with its progress bar, the start card,
// the failure and end cards, the note over the show (no music, a lost
// picture, a link past the end; it stays until the viewer closes it or what
// it tells is over), the line over a picture that waits for its files, and
// the live region that tells screen readers each change.
// Owns: #card and what is in it, #note, #waiting, #status. Never touches: the show,
// the sound, the clock.

// m:ss of `seconds`.
export function clockText(seconds) {
    const whole = Math.max(0, Math.floor(seconds));
    return `${Math.floor(whole / 60)}:${String(whole % 60).padStart(2, '0')}`;
}

export class Cards {
    // `onNoteClosed()` hears the viewer close the note.
    constructor(onNoteClosed) {
        const byId = (id) => document.getElementById(id);
        this.bar = byId('bar');
        this.progressBar = byId('progress');
        this.message = byId('message');
        this.advice = byId('advice');
        this.startButton = byId('start');
        this.againButton = byId('again');
        this.noteLine = byId('note');
        this.noteText = byId('note-text');
        byId('note-close').addEventListener('click', () => {
            this.note('');
            onNoteClosed();
        });
        this.status = byId('status');
        this.waitingLine = byId('waiting');
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
    // the show starts at, `withSound` whether it has its music.
    ready(touch, startAt, withSound) {
        const from = startAt > 0 ? ` from ${clockText(startAt)}` : '';
        const start = (touch ? 'Tap to start' : 'Click or press a key to start') + from;
        const sound = withSound ? 'With sound.' : 'Without sound: the music is missing; captions are on.';
        this.show(start, touch
            ? `${sound} Tap the picture for the controls.`
            : `${withSound ? '' : sound + ' '}Space: pause · ← →: 5 s · Home End: start, end · Page Up/Down: scenes · M: mute · C: captions · F: full screen`);
        this.startButton.textContent = 'Start';
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

    // The line over a picture that waits for its files: how much of them is
    // in (0 to 1); null takes it away.
    waiting(fraction) {
        this.waitingLine.hidden = fraction === null;
        if (fraction !== null)
            this.waitingLine.textContent = `Loading the next scene… ${Math.floor(Math.min(1, Math.max(0, fraction)) * 100)} %`;
    }

    // A line over the show, with a button that closes it; '' takes it away.
    note(text) {
        this.noteText.textContent = text;
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
