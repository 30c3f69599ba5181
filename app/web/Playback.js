// The show played: the actions that PageStates' table names (start, pause,
// seek, end, watch again, waiting for a scene's files, the picture lost and
// back) and the frame loop that
// draws each frame at the show time of the sound heard (ShowClock), with the
// captions, the address's time and the report that tests read.
// Owns: the frame loop, the show time's address, the report's playing
// figures. Reads: the clock, the sound, the picture, the captions. Never
// touches: the page's elements but through Cards, Controls and Captions;
// never decides what an input does in a state (PageStates does).
import { clockText } from './Cards.js';

// Silence while playing before the page offers "Tap for sound".
const kHintSeconds = 1;
// How often the address takes the show time while playing.
const kAddressMs = 1000;

export class Playback {
    // `parts`: { report, cards, controls, picture, sound, clock, captions,
    // files (SceneFiles: whether a show time's files are in),
    // soundHint (the element), length (seconds), firstDrawn (the show time of
    // the show's first drawn frame), refresh() (shows the state on the
    // controls) }; `states` is the page's PageStates, whose table calls the
    // actions here by name.
    constructor(parts, states) {
        Object.assign(this, parts);
        this.states = states;
        this.looping = false;
        this.tapAt = 0;
        this.addressAt = 0;
        this.afterLoss = 'paused'; // the state a restored picture goes back to
        this.pendingDraw = false; // a frame waits for its files
    }

    // Whether the files of the frame at `time` are in.
    ready(time) {
        return this.files.readyFor(Math.max(time, this.firstDrawn));
    }

    // Starts the show at `time`.
    begin(time) {
        const now = performance.now();
        this.sound.resume();
        this.cards.playing();
        this.cards.announce('Playing');
        this.report.pausedBy = null;
        this.clock.start(Math.min(Math.max(0, time), this.length), now);
        this.files.prioritize(this.clock.time);
        if (!this.sound.available) this.captions.suggest();
        this.soundHint.textContent = this.controls.touch ? 'Tap for sound' : 'Click for sound';
        this.drawNow(now);
        if (!this.ready(this.clock.time)) return this.wait();
        this.showWaiting(false);
        this.loop();
        return 'playing';
    }

    pause() {
        return this.stop('viewer');
    }

    hide() {
        return this.stop('hidden');
    }

    stop(reason) {
        this.report.pausedBy = reason;
        this.clock.pause();
        this.sound.pause();
        this.soundHint.hidden = true;
        this.writeAddress(this.clock.time);
        this.cards.announce(`Paused at ${clockText(this.clock.time)}`);
        return 'paused';
    }

    // Plays on from the paused time, the track from there too, so that the
    // picture and the sound start together; at the end, from the start;
    // waits when the files of that time are not in.
    resume() {
        if (this.clock.time >= this.length) return this.again();
        if (!this.ready(this.clock.time)) return this.wait();
        this.showWaiting(false);
        const now = performance.now();
        this.report.pausedBy = null;
        this.clock.moveTo(this.clock.time, now);
        this.clock.resume(now);
        this.sound.resume();
        this.cards.announce('Playing');
        this.loop();
        return 'playing';
    }

    // The tab is shown again: plays on if hiding it paused the show.
    show() {
        return this.report.pausedBy === 'hidden' ? this.resume() : undefined;
    }

    // Puts the show at `time` (clamped to the show), drawn at once, or as
    // soon as its files are in.
    seek(time) {
        const now = performance.now();
        this.clock.moveTo(Math.min(Math.max(0, time), this.length), now);
        this.files.prioritize(this.clock.time);
        this.drawNow(now);
        this.writeAddress(this.clock.time);
        this.cards.announce(`${clockText(this.clock.time)} of ${clockText(this.length)}`);
    }

    // The show time reached the end: the end card.
    finish() {
        this.soundHint.hidden = true;
        this.cards.ended();
        this.writeAddress(null);
        return 'ended';
    }

    again() {
        return this.begin(0);
    }

    // A seek on the end card: the show comes back, paused at `time`.
    seekFromEnd(time) {
        this.sound.pause();
        this.clock.pause();
        this.report.pausedBy = 'viewer';
        this.cards.playing();
        this.seek(time);
        return 'paused';
    }

    hold() {
        return 'held';
    }

    // The show time's files are not in: the picture and the sound hold, with
    // how far along they are, and they come first.
    wait() {
        this.clock.pause();
        this.sound.pause();
        this.soundHint.hidden = true;
        this.files.prioritize(this.clock.time);
        this.report.waits += 1;
        this.pendingDraw = true;
        this.showWaiting(true);
        this.cards.announce('Loading the next scene');
        return 'waiting';
    }

    // The files are in: plays on from where the show waited.
    playOn() {
        return this.resume();
    }

    seekWhileWaiting(time) {
        this.seek(time);
        return this.ready(this.clock.time) ? this.resume() : undefined;
    }

    // A file arrived (or failed): a waiting show plays on once its files are
    // in, a frame that waited is drawn.
    filesChanged() {
        if (this.states.state === 'waiting') {
            if (this.ready(this.clock.time)) this.states.handle('filesIn');
            else this.showWaiting(true);
            return;
        }
        if (this.pendingDraw && !this.states.running) this.drawNow(performance.now());
        else this.showWaiting(this.pendingDraw);
    }

    // The note over a picture that waits for its files, with how much of
    // them is in; `on` false takes it away.
    showWaiting(on) {
        this.cards.waiting(on ? this.files.progressFor(Math.max(this.clock.time, this.firstDrawn)) : null);
    }

    release() {
        return 'playing';
    }

    // The picture went: the show waits where it is (paused when it played).
    lose() {
        const state = this.states.state;
        this.afterLoss = this.states.running || state === 'waiting' ? 'playing' : state;
        if (this.states.running) {
            this.clock.pause();
            this.sound.pause();
            this.soundHint.hidden = true;
        }
        this.report.pausedBy = 'lost';
        return 'lost';
    }

    // Space while the picture is away: it comes back paused or playing.
    toggleAfterLoss() {
        if (this.afterLoss === 'playing') this.afterLoss = 'paused';
        else if (this.afterLoss === 'paused') this.afterLoss = 'playing';
    }

    seekWhileLost(time) {
        this.clock.moveTo(Math.min(Math.max(0, time), this.length), performance.now());
        if (this.afterLoss === 'ended' || this.afterLoss === 'ready') this.afterLoss = 'paused';
    }

    // The picture is back (built again): shows the frame and goes back to
    // what the show did when it went.
    restored() {
        const after = this.afterLoss;
        if (after === 'playing' || after === 'paused') this.drawNow(performance.now());
        if (after === 'playing') {
            this.states.enter('paused');
            this.states.handle('playPause');
            return;
        }
        if (after === 'paused') this.report.pausedBy = 'viewer';
        this.states.enter(after);
    }

    leaveFullScreen() {
        if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    }

    // Draws the frame of the clock's time now (a paused or sought show), or
    // holds the picture with a note while that frame's files are not in.
    drawNow(now) {
        if (this.picture.lost) return;
        this.pendingDraw = !this.ready(this.clock.time);
        this.showWaiting(this.pendingDraw || this.states.state === 'waiting');
        if (!this.pendingDraw) this.draw(this.clock.time, now);
    }

    // Draws the frame at show time `time`; before the first scene draws
    // anything (the start, a sound that is late), the show's first drawn
    // frame.
    draw(time, now) {
        this.pendingDraw = false;
        this.picture.draw(Math.max(time, this.firstDrawn));
        this.captions.update(time);
        Object.assign(this.report, {
            showTime: time,
            frameAt: now,
            frames: this.picture.frames,
            renderMs: this.picture.renderMs,
            caption: this.captions.text,
        });
        this.refresh();
    }

    loop() {
        if (this.looping) return;
        this.looping = true;
        requestAnimationFrame(() => this.frame());
    }

    frame() {
        if (!this.states.running) {
            this.looping = false;
            return;
        }
        const now = performance.now();
        const time = this.clock.tick(now);
        if (!this.ready(time)) {
            this.states.handle('filesMissing');
            this.looping = false;
            return;
        }
        this.draw(time, now);
        if (this.report.tapToFirstFrameMs === null) this.report.tapToFirstFrameMs = now - this.tapAt;
        // Honest about the sound: while it does not come, say how to get it;
        // a show that plays without it shows captions.
        const silent = this.clock.silentFor(now) > kHintSeconds;
        this.soundHint.hidden = !silent;
        this.report.soundHint = silent;
        if (this.clock.mode === 'wall') this.captions.suggest();
        this.states.handle(this.clock.holding ? 'soundStops' : 'soundRuns');
        if (time >= this.length) this.states.handle('musicEnd');
        else if (now - this.addressAt > kAddressMs) this.writeAddress(time);
        if (!this.states.running) {
            this.looping = false;
            return;
        }
        requestAnimationFrame(() => this.frame());
    }

    // Keeps the show time in the address, so that it shares the moment; null
    // takes it away.
    writeAddress(time) {
        this.addressAt = performance.now();
        const base = location.pathname + location.search;
        history.replaceState(null, '', time === null ? base : `${base}#t=${time.toFixed(1)}`);
    }
}
