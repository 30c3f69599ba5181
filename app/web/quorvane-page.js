// The page around the show, like a media player: it loads the show
// (Loading), waits on the start card for a viewer's gesture (browsers start
// sound only in one), then plays the music (Sound) and draws each frame
// (Picture) at the show time of the sound heard (ShowClock), with captions
// (Captions), the keys and the control bar (Controls), and the cards and
// notes (Cards). This module holds the page's state and its actions and
// wires the others together; each of them says what it owns.
//
// Addresses: #t=T starts at T seconds (the page keeps the time there while
// it plays, so the address shares the moment; ?t=T does the same). Test
// hooks: ?t=T&still draws the one frame at T without sound and stops;
// ?t=T&bench=S draws frames without sound for S seconds of wall-clock time
// from T; &digests reports the SHA-256 of every decoded image. The page's
// state is in window.quorvane (read it without granting the page a user
// gesture).
import { Captions, readCues } from './Captions.js';
import { Cards, clockText } from './Cards.js';
import { Controls } from './Controls.js';
import { load, removeImages, writeImages } from './Loading.js';
import { Picture } from './Picture.js';
import { ShowClock } from './ShowClock.js';
import { Sound } from './Sound.js';

const kSeekSeconds = 5;
// Silence while playing before the page offers "Tap for sound".
const kHintSeconds = 1;
// How long a note stays over the playing show.
const kNoteMs = 10000;
// An Escape this soon after leaving full screen was the one that left it.
const kEscapeAfterFullScreenMs = 300;

const params = new URLSearchParams(location.search);
const hashTime = /(?:^#|&)t=([0-9.]+)/.exec(location.hash);
const startAt = Math.max(0, Number(hashTime ? hashTime[1] : params.get('t')) || 0);
const still = params.has('still');
const benchSeconds = Number(params.get('bench')) || 0;

// What tests and benchmarks read. state: loading, ready, playing, paused,
// ended, failed, no-webgl2, still, benching, benched.
const report = (window.quorvane = {
    state: 'loading',
    error: '',
    note: '',
    showTime: 0,
    frameAt: 0, // performance time at which the last frame took its show time
    frames: 0,
    renderMs: 0,
    clock: '', // 'audio' or 'wall'
    soundHint: false,
    pausedBy: null, // 'viewer', 'hidden' or 'lost' while paused
    muted: false,
    captionsOn: false,
    caption: '',
    length: 0,
    scenes: [],
    loadMs: null, // from the page's script starting to the start card
    readyAt: null, // performance time of the start card (from the page's opening)
    tapToFirstFrameMs: null,
    benchFrames: 0,
    benchSeconds: 0,
    imageDigests: null,
});

const cards = new Cards();
const soundHint = document.getElementById('sound-hint');
let loaded = null;
let picture = null;
let sound = new Sound(null);
let clock = new ShowClock(sound);
let musicReady = null; // the music's decoding, once it arrived
let captions = new Captions(document.getElementById('captions'), []);
let length = 0;
let looping = false;
let tapAt = 0;
let addressAt = 0;
let noteTimer = 0;
let leftFullScreenAt = -Infinity;

function setState(state) {
    document.body.classList.remove(report.state);
    document.body.classList.add(state);
    report.state = state;
}

function fail(message, advice) {
    report.error = message;
    console.error(`quorvane: ${message}`);
    setState('failed');
    cards.failed(message, advice);
}

function note(text) {
    report.note = text;
    cards.note(text);
}

function playing() {
    return report.state === 'playing';
}

// Keeps the show time in the address, so that it shares the moment.
function writeAddress(time) {
    addressAt = performance.now();
    const base = location.pathname + location.search;
    history.replaceState(null, '', time === null ? base : `${base}#t=${time.toFixed(1)}`);
}

function draw(time, now) {
    picture.draw(time);
    captions.update(time);
    report.showTime = time;
    report.frameAt = now;
    report.frames = picture.frames;
    report.renderMs = picture.renderMs;
    report.caption = captions.text;
    refresh();
}

// Shows the state on the controls and in the report.
function refresh() {
    report.muted = sound.muted;
    report.captionsOn = captions.on;
    report.caption = captions.text;
    report.clock = clock.mode;
    controls.update({
        time: clock.time,
        paused: report.state === 'paused',
        muted: sound.muted,
        captions: captions.on,
        captionsAvailable: captions.available,
        fullScreen: !!document.fullscreenElement,
    });
}

function frame() {
    if (!playing()) {
        looping = false;
        return;
    }
    const now = performance.now();
    const time = clock.tick(now);
    draw(time, now);
    if (report.tapToFirstFrameMs === null) report.tapToFirstFrameMs = now - tapAt;
    // Honest about the sound: while it does not come, say how to get it;
    // a show that plays without it shows captions.
    const silent = clock.silentFor(now) > kHintSeconds;
    soundHint.hidden = !silent;
    report.soundHint = silent;
    if (clock.mode === 'wall') captions.suggest();
    if (time >= length) {
        end(true);
        return;
    }
    if (now - addressAt > 1000) writeAddress(time);
    requestAnimationFrame(frame);
}

function loop() {
    if (looping) return;
    looping = true;
    requestAnimationFrame(frame);
}

function begin(time) {
    const now = performance.now();
    sound.unlock();
    setState('playing');
    cards.playing();
    cards.announce('Playing');
    clock.start(time, now);
    if (!sound.available) captions.suggest();
    if (report.note) {
        const shown = report.note;
        clearTimeout(noteTimer);
        noteTimer = setTimeout(() => report.note === shown && note(''), kNoteMs);
    }
    soundHint.textContent = controls.touch ? 'Tap for sound' : 'Click for sound';
    loop();
}

function pause(reason) {
    if (!playing()) return;
    report.pausedBy = reason;
    clock.pause();
    sound.pause();
    soundHint.hidden = true;
    setState('paused');
    writeAddress(clock.time);
    cards.announce(`Paused at ${clockText(clock.time)}`);
    refresh();
}

function resume() {
    if (report.state !== 'paused' || picture.lost) return;
    report.pausedBy = null;
    sound.resume();
    clock.resume(performance.now());
    setState('playing');
    cards.announce('Playing');
    loop();
}

function seek(time) {
    if (!playing() && report.state !== 'paused') return;
    const now = performance.now();
    clock.moveTo(Math.min(Math.max(0, time), length), now);
    if (!picture.lost) draw(clock.time, now);
    writeAddress(clock.time);
    cards.announce(`${clockText(clock.time)} of ${clockText(length)}`);
}

// Ends the show on the end card; `finished` when the music has played out.
function end(finished) {
    if (!playing() && report.state !== 'paused') return;
    if (!finished) sound.fadeOut();
    setState('ended');
    soundHint.hidden = true;
    cards.ended();
    writeAddress(null);
}

function toggleFullScreen() {
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    else if (document.fullscreenEnabled) document.documentElement.requestFullscreen().catch(() => {});
}

const controls = new Controls({
    state: () => report.state,
    // Every gesture asks for the sound while it does not run (a first tap
    // may not have been enough, an interruption may have stopped it).
    gesture: () => {
        if (playing()) sound.unlock();
    },
    start: () => {
        if (report.state !== 'ready') return;
        tapAt = performance.now();
        begin(startAt);
    },
    watchAgain: () => {
        if (report.state === 'ended') begin(0);
    },
    playPause: () => (playing() ? pause('viewer') : resume()),
    back: () => seek(clock.time - kSeekSeconds),
    forward: () => seek(clock.time + kSeekSeconds),
    toStart: () => seek(0),
    seekTo: seek,
    mute: () => {
        sound.setMuted(!sound.muted);
        refresh();
    },
    captions: () => {
        captions.toggle();
        captions.update(clock.time);
        refresh();
    },
    fullScreen: toggleFullScreen,
    escape: () => {
        if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
        else if (performance.now() - leftFullScreenAt > kEscapeAfterFullScreenMs) end(false);
    },
});

document.addEventListener('fullscreenchange', () => {
    if (!document.fullscreenElement) leftFullScreenAt = performance.now();
    if (picture) refresh();
});
document.addEventListener('visibilitychange', () => {
    if (document.hidden) pause('hidden');
    else if (report.pausedBy === 'hidden') resume();
});
// A new drawing buffer is blank: show the frame again while no frames come.
function redraw() {
    if (picture.frames > 0 && !playing() && report.state !== 'benching') draw(picture.time, performance.now());
}
window.addEventListener('resize', () => {
    if (picture && picture.fit()) redraw();
});

function contextLost() {
    if (playing()) pause('lost');
    note('The picture was lost (the graphics were reset). It comes back by itself; the show waits.');
}

async function contextRestored() {
    await writeImages(loaded.Module, loaded.images);
    const status = picture.rebuild();
    removeImages(loaded.Module, loaded.images);
    if (status !== 0) {
        fail('The picture could not be made again after the graphics were reset.', 'Reload the page.');
        return;
    }
    note('');
    if (picture.frames > 0) draw(clock.time, performance.now());
    if (report.pausedBy === 'lost') resume();
}

function benchmark() {
    setState('benching');
    const began = performance.now();
    const step = () => {
        const elapsed = (performance.now() - began) / 1000;
        if (elapsed >= benchSeconds) {
            report.benchFrames = picture.frames;
            report.benchSeconds = elapsed;
            report.renderMs = picture.renderMs;
            setState('benched');
            return;
        }
        picture.draw(startAt + elapsed);
        requestAnimationFrame(step);
    };
    requestAnimationFrame(step);
}

async function start() {
    const began = performance.now();
    if (!Picture.hasWebGl2()) {
        setState('no-webgl2');
        cards.noWebGl2();
        return;
    }
    cards.loading();
    try {
        loaded = await load({
            onProgress: (fraction) => cards.progress(fraction),
            // The music decodes while the rest arrives.
            onMusic: (bytes) => {
                if (still || benchSeconds > 0) return;
                sound = new Sound(bytes);
                clock = new ShowClock(sound);
                musicReady = sound.prepare();
            },
            digests: params.has('digests'),
        });
    } catch (error) {
        fail(error.message, error.advice || 'Reload the page.');
        return;
    }
    report.imageDigests = loaded.digests;
    picture = new Picture(document.getElementById('stage'), document.getElementById('canvas'), loaded.Module, {
        onLost: contextLost,
        onResized: redraw,
        onRestored: () => contextRestored().catch((error) => fail(`The picture could not be made again: ${error.message}`, 'Reload the page.')),
    });
    const status = picture.start(still);
    removeImages(loaded.Module, loaded.images);
    if (status === 1) {
        setState('no-webgl2');
        cards.noWebGl2();
        return;
    }
    if (status !== 0) {
        const without = loaded.missing.length ? ` without ${loaded.missing.join(', ')}` : ' (its files are damaged; see the console)';
        fail(`The show could not be built${without}.`, 'Reload the page; if this stays, the site is incomplete.');
        return;
    }
    report.scenes = picture.scenes();
    if (still) {
        // The browser tells the canvas's size in device pixels by the next frame.
        await new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve)));
        picture.draw(startAt);
        report.frames = picture.frames;
        report.showTime = startAt;
        report.loadMs = performance.now() - began;
        setState('still');
        return;
    }
    if (benchSeconds > 0) {
        report.loadMs = performance.now() - began;
        benchmark();
        return;
    }

    captions = new Captions(document.getElementById('captions'), loaded.captions ? readCues(loaded.captions) : []);
    const soundTrouble = await (musicReady || sound.prepare());
    const notes = [];
    if (soundTrouble) {
        console.warn(`quorvane: ${loaded.musicPath}: ${soundTrouble}; playing silently`);
        notes.push(`No music: ${soundTrouble}. The show plays silently${captions.available ? ', with captions' : ''}.`);
    }
    const others = loaded.missing.filter((path) => path !== loaded.musicPath);
    if (others.length)
        notes.push(`Some of the show's files could not be downloaded (${others.join(', ')}); it plays without them. Reload the page to try again.`);
    note(notes.join(' '));
    const lastScene = report.scenes[report.scenes.length - 1];
    // The show lasts as long as its music; without music, as long as its scenes.
    length = sound.duration || (lastScene ? lastScene[1] : 0);
    report.length = length;
    controls.setScenes(report.scenes, length);
    report.loadMs = performance.now() - began;
    report.readyAt = performance.now();
    setState('ready');
    cards.ready(controls.touch, startAt);
    if (!controls.touch) document.getElementById('start').focus({ preventScroll: true });
}

start().catch((error) => fail(`The show could not start: ${error.message || error}`, 'Reload the page.'));
