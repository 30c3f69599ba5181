// The page around the show, like a media player: it loads what the show is
// built from (Loading) and the files of its first scene (SceneFiles, which
// brings the rest in show order while it plays), waits on the start card
// for a viewer's gesture (browsers start sound only in one), then plays the
// music (Sound) and draws each frame
// (Picture) at the show time of the sound heard (ShowClock, Playback), with
// captions (Captions), the keys and the control bar (Controls), and the cards
// and notes (Cards). What each input does in each state is PageStates'
// table; this module only wires the inputs to it and the parts together.
//
// Addresses: #t=T starts at T seconds (clamped to the show, with a note when
// it was outside); the page keeps the time there while it plays, so the
// address shares the moment, and a #t changed in the open page goes there
// (?t=T does the same). Test hooks: ?t=T&still and ?t=T&bench=S
// (TestModes); &digests reports the SHA-256 of every decoded image. The
// page's state is in window.quorvane (read it without granting the page a
// user gesture).
import { Captions, readCues } from './Captions.js';
import { Cards, clockText } from './Cards.js';
import { ContextRecovery } from './ContextRecovery.js';
import { Controls } from './Controls.js';
import { load } from './Loading.js';
import { PageStates } from './PageStates.js';
import { Picture } from './Picture.js';
import { Playback } from './Playback.js';
import { SceneFiles } from './SceneFiles.js';
import { ShowClock } from './ShowClock.js';
import { Sound } from './Sound.js';
import { bench, still } from './TestModes.js';

const kSeekSeconds = 5;
// The start card waits for the files of this much of the show from its
// start (the intro's alone from 0:00), so that a start just before a scene
// does not wait for that scene's files at once.
const kStartAheadSeconds = 5;
const kSiteAdvice = 'Reload the page; if this stays, the site is incomplete.';

const params = new URLSearchParams(location.search);
const stillMode = params.has('still');
const benchSeconds = Number(params.get('bench')) || 0;

// The time an address asks for (#t=T, else ?t=T), or null.
function linkTime() {
    const hashTime = /(?:^#|&)t=(-?[0-9.]+)/.exec(location.hash);
    const time = Number(hashTime ? hashTime[1] : params.get('t'));
    return Number.isFinite(time) && (hashTime || params.has('t')) ? time : null;
}

// What tests and benchmarks read. state: one of PageStates' states, or
// no-webgl2, still, benching, benched.
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
    pausedBy: null, // 'viewer', 'hidden' or 'lost' while paused or lost
    waits: 0, // times the show waited for its files while it played
    muted: false,
    captionsOn: false,
    caption: '',
    acted: [], // 'state input' of each cell of the state table that acted
    cues: [], // [{ start, end, text }] as read
    cueError: '',
    length: 0,
    scenes: [],
    loadMs: null, // from the page's script starting to the start card
    filesInAt: null, // performance time at which the last file was in
    readyAt: null, // performance time of the start card (from the page's opening)
    tapToFirstFrameMs: null,
    benchFrames: 0,
    benchSeconds: 0,
    imageDigests: null,
});

function setState(state) {
    document.body.classList.remove(report.state);
    document.body.classList.add(state);
    report.state = state;
}

const cards = new Cards(() => (report.note = ''));
let startAt = Math.max(0, linkTime() || 0);
let playback = null;
let picture = null;
let sound = new Sound(null);
let captions = new Captions(document.getElementById('captions'), null);

function note(text) {
    report.note = text;
    cards.note(text);
}

// The page's own actions; Playback has the others.
const pageActions = {
    offerStart: () => {
        cards.ready(controls.touch, startAt, sound.available);
        if (!controls.touch) document.getElementById('start').focus({ preventScroll: true });
        report.readyAt = performance.now();
        return 'ready';
    },
    moveStart: (time) => {
        startAt = time;
        playback.files.prioritize(time);
        cards.ready(controls.touch, startAt, sound.available);
    },
    restore: () => {
        recovery.restored(picture, () => playback.restored());
    },
    fail: ({ message, advice }) => {
        report.error = message;
        console.error(`quorvane: ${message}`);
        cards.failed(message, advice);
        return 'failed';
    },
};
const states = new PageStates(new Proxy(pageActions, {
    get: (actions, name) => actions[name] || ((value) => playback[name](value)),
}), (state) => {
    setState(state);
    refresh();
}, (state, input) => {
    if (!report.acted.includes(`${state} ${input}`)) report.acted.push(`${state} ${input}`);
});
let recovery = null;
let scrubPaused = false; // a drag on the timeline paused the show

function fail(message, advice = 'Reload the page.') {
    if (!states.handle('failure', { message, advice })) {
        report.error = message;
        setState('failed');
        cards.failed(message, advice);
    }
}

// Shows the state on the controls and in the report.
function refresh() {
    if (!playback) return;
    report.muted = sound.muted;
    report.captionsOn = captions.on;
    report.caption = captions.text;
    report.clock = playback.clock.mode;
    controls.update({
        time: playback.clock.time,
        paused: !states.running,
        muted: sound.muted,
        captions: captions.on,
        captionsAvailable: captions.available,
        fullScreen: !!document.fullscreenElement,
    });
}

// The show time now (0 before the show is loaded).
const showTime = () => (playback ? playback.clock.time : 0);
const seekBy = (seconds) => () => states.handle('seek', showTime() + seconds);
const controls = new Controls({
    showing: () => states.showing,
    running: () => states.running,
    ready: () => states.state === 'ready',
    // Every gesture asks for the sound while it should run and does not (a
    // first tap may not have been enough, an interruption may have stopped it).
    gesture: () => sound.unlock(),
    start: () => {
        if (playback) playback.tapAt = performance.now();
        states.handle('start', startAt);
    },
    watchAgain: () => states.handle('watchAgain'),
    playPause: () => states.handle('playPause'),
    back: seekBy(-kSeekSeconds),
    forward: seekBy(kSeekSeconds),
    toStart: () => states.handle('seek', 0),
    toEnd: () => states.handle('seek', report.length),
    previousScene: () => states.handle('seek', controls.sceneStart(showTime(), -1)),
    nextScene: () => states.handle('seek', controls.sceneStart(showTime(), 1)),
    seekTo: (time) => states.handle('seek', time),
    // A drag on the timeline scrubs the picture with the show held; the
    // sound follows where it is let go.
    scrubbing: (on) => {
        if (on && states.running) {
            scrubPaused = true;
            states.handle('playPause');
        } else if (!on && scrubPaused) {
            scrubPaused = false;
            states.handle('playPause');
        }
    },
    mute: () => {
        sound.setMuted(!sound.muted);
        refresh();
    },
    captions: () => {
        captions.toggle();
        captions.update(showTime());
        refresh();
    },
    fullScreen: () => {
        if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
        else if (document.fullscreenEnabled) document.documentElement.requestFullscreen().catch(() => {});
    },
    escape: () => states.handle('escape'),
});

// A link's time inside the show; a note tells when it was outside.
function clampLink(time) {
    const clamped = Math.min(Math.max(0, time), report.length);
    if (clamped !== time)
        note(`The link's time (${time < 0 ? '-' : ''}${clockText(Math.abs(time))}) is outside the show (0:00 to `
            + `${clockText(report.length)}); it goes to ${clockText(clamped)}.`);
    return clamped;
}

window.addEventListener('hashchange', () => {
    const time = linkTime();
    if (time !== null && report.length > 0) states.handle('link', clampLink(time));
});
document.addEventListener('fullscreenchange', () => refresh());
document.addEventListener('visibilitychange', () => states.handle(document.hidden ? 'hidden' : 'shown'));
// A new drawing buffer is blank: show the frame again while no frames come.
function redraw() {
    if (picture.frames > 0 && playback && !states.running && states.showing) playback.drawNow(performance.now());
}
window.addEventListener('resize', () => {
    if (picture && picture.fit()) redraw();
});

// Why the show cannot be built, from what the module said and what was
// missing.
function buildFailure(status, missing) {
    if (status === 3) {
        const shaders = missing.filter((url) => /\.(frag|vert)$/.test(url));
        const why = shaders.length ? `${shaders.join(', ')} could not be downloaded`
            : 'the browser refused it (see the console)';
        return `The show cannot be drawn: its shader "${picture.brokenShader()}" could not be built (${why}).`;
    }
    return missing.length ? `The show could not be built without ${missing.join(', ')}.`
        : 'The show could not be built (its files are damaged; see the console).';
}

async function start() {
    const began = performance.now();
    const withMusic = !stillMode && benchSeconds <= 0;
    // The loading bar: the files the show is built from, then those of the
    // show time it starts at.
    const kBuiltShare = 0.5;
    // The downloads start at once; the browser is asked for WebGL 2 meanwhile.
    const loading = load({ onProgress: (fraction) => cards.progress(kBuiltShare * fraction), withMusic });
    loading.catch(() => {});
    if (!Picture.hasWebGl2()) {
        setState('no-webgl2');
        cards.noWebGl2();
        return;
    }
    cards.loading();
    let loaded;
    try {
        loaded = await loading;
    } catch (error) {
        fail(error.message, error.advice || 'Reload the page.');
        return;
    }
    picture = new Picture(document.getElementById('stage'), document.getElementById('canvas'), loaded.Module, {
        onLost: () => recovery.lost(),
        onResized: redraw,
        onRestored: () => states.handle('contextRestored'),
    });
    // The show is built before its images are in: each comes into its
    // textures as it arrives (SceneFiles).
    SceneFiles.writeStandIns(loaded.Module, loaded.list);
    const status = picture.start(stillMode);
    SceneFiles.removeStandIns(loaded.Module, loaded.list);
    if (status === 1) {
        setState('no-webgl2');
        cards.noWebGl2();
        return;
    }
    if (status !== 0) {
        fail(buildFailure(status, loaded.missing), kSiteAdvice);
        return;
    }
    const scenes = picture.scenes();
    report.scenes = scenes;
    const missing = [...loaded.missing];
    // The files a note names: all but the music when the note on the music
    // tells of it.
    const told = () => missing.filter((url) => sound.available || (url !== loaded.musicPath && url !== loaded.list.music?.opening.url));
    let filesChanged = null; // until the start card: hears the files arrive
    const files = new SceneFiles(loaded, scenes, {
        digests: params.has('digests'),
        withMusic,
        addWhole: (bytes) => sound.addWhole(bytes),
        onChange: () => {
            if (playback) playback.filesChanged();
            else if (filesChanged) filesChanged();
        },
        onMissing: (url) => {
            missing.push(url);
            if (playback) note(missingNote(told()));
        },
    });
    report.imageDigests = files.digests;
    files.allIn.then(() => (report.filesInAt = performance.now()));
    recovery = new ContextRecovery(files, states, note, (message) => fail(message, 'Reload the page.'));
    if (stillMode || benchSeconds > 0) {
        await files.allIn;
        report.loadMs = performance.now() - began;
        if (stillMode) {
            await still(picture, startAt, report);
            setState('still');
        } else {
            setState('benching');
            bench(picture, startAt, benchSeconds, report, () => setState('benched'));
        }
        return;
    }

    const cues = loaded.captions ? readCues(loaded.Module) : null;
    if (cues && cues.error) console.warn(`quorvane: ${cues.error}; no captions`);
    report.cues = cues ? cues.cues : [];
    report.cueError = cues ? cues.error : '';
    captions = new Captions(document.getElementById('captions'), cues);
    const opening = await loaded.opening;
    if (opening) sound = new Sound(opening, loaded.list.music.seconds);
    else if (loaded.list.music) missing.push(loaded.list.music.opening.url);
    const soundTrouble = await sound.prepare();
    const notes = [];
    if (soundTrouble) {
        console.warn(`quorvane: ${loaded.musicPath}: ${soundTrouble}; playing silently`);
        notes.push(`No music: ${soundTrouble}. The show plays without sound${captions.available ? ', with captions' : ''}.`);
    }
    const lastScene = scenes[scenes.length - 1];
    // The show lasts as long as its music; without music, as long as its scenes.
    const length = sound.duration || (lastScene ? lastScene.end : 0);
    report.length = length;
    controls.setScenes(scenes, length);
    const asked = linkTime();
    if (asked !== null) startAt = clampLink(asked);
    // The start card comes once the files of the start are in.
    files.prioritize(startAt);
    await new Promise((resolve) => {
        const progress = () => cards.progress(kBuiltShare + (1 - kBuiltShare) * files.progressFor(startAt, kStartAheadSeconds));
        const timer = setInterval(progress, 100);
        filesChanged = () => {
            progress();
            if (!files.readyFor(startAt, kStartAheadSeconds)) return;
            clearInterval(timer);
            filesChanged = null;
            resolve();
        };
        filesChanged();
    });
    playback = new Playback({
        report,
        cards,
        controls,
        picture,
        sound,
        clock: new ShowClock(sound),
        captions,
        files,
        soundHint: document.getElementById('sound-hint'),
        length,
        // The first frame on which a scene draws (scenes draw strictly
        // after their start), at 60 frames a second.
        firstDrawn: scenes.length ? scenes[0].start + 1 / 60 : 0,
        refresh,
    }, states);
    if (told().length) notes.push(missingNote(told()));
    if (notes.length) note([report.note, ...notes].filter(Boolean).join(' '));
    report.loadMs = performance.now() - began;
    states.handle('loaded');
}

// The note for files that could not be downloaded.
function missingNote(urls) {
    return `Some of the show's files could not be downloaded (${urls.join(', ')}); it plays without them. Reload the page to try again.`;
}

start().catch((error) => fail(`The show could not start: ${error.message || error}`, 'Reload the page.'));
