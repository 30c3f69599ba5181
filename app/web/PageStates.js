// The page's states and what each input does in each of them, written once.
// Every input the page receives (a viewer's tap, click or key, the timeline,
// the address's time, the music's end, a hidden tab, the sound output
// stopping or running, the WebGL context lost or restored) goes through
// PageStates.handle, which looks up the cell of the current state and that
// input and calls the action it names; a state without a cell for an input
// does nothing with it.
// Owns: the current state and the table. Reads: nothing else. Never
// touches: the elements, the sound, the clock, the picture; the actions do.

// loading  the files arrive
// ready    the start card waits for a viewer's gesture
// playing  the picture runs (on the music heard, or on the wall clock)
// held     the picture holds, waiting for the sound output to run
// waiting  the picture and the sound hold, waiting for the files of the
//          show time (a scene's images, the music past its opening)
// paused   the viewer paused, or the tab was hidden
// ended    the end card; the show can be watched again
// failed   the show cannot be shown; the card says why
// lost     the WebGL context was taken away; the show waits for it
export const kStates = ['loading', 'ready', 'playing', 'held', 'waiting', 'paused', 'ended', 'failed', 'lost'];

// loaded           everything needed to start is in
// failure          something the show cannot do without went wrong (while
//                  loading, or building the show again after a lost context)
// start            a tap, click or key on the start card
// playPause        Space, K, the pause button
// seek             arrows, Home, End, Page Up/Down, the timeline (a time)
// watchAgain       the end card's button
// link             the address's #t changed in the open page (a time)
// musicEnd         the show time reached the show's length
// hidden, shown    the tab was hidden or shown again
// soundStops       the sound output does not run while it should, and the
//                  picture waits for it
// soundRuns        the picture stops waiting: the sound output runs, or it
//                  gave up waiting and runs on the wall clock
// filesMissing     the show time's files are not in yet
// filesIn          the files the show waits for are in
// contextLost, contextRestored   the WebGL context went and came back
// escape           the Escape key
export const kInputs = ['loaded', 'failure', 'start', 'playPause', 'seek', 'watchAgain', 'link', 'musicEnd', 'hidden',
    'shown', 'soundStops', 'soundRuns', 'filesMissing', 'filesIn', 'contextLost', 'contextRestored', 'escape'];

// State -> input -> action name. Inputs left out of a row do nothing there.
const kWhilePlaying = {
    playPause: 'pause',
    seek: 'seek',
    link: 'seek',
    musicEnd: 'finish',
    hidden: 'hide',
    filesMissing: 'wait',
    contextLost: 'lose',
    escape: 'leaveFullScreen',
};
export const kTable = {
    loading: { loaded: 'offerStart', failure: 'fail' },
    ready: { start: 'begin', link: 'moveStart', contextLost: 'lose' },
    playing: { ...kWhilePlaying, soundStops: 'hold' },
    held: { ...kWhilePlaying, soundRuns: 'release' },
    waiting: {
        playPause: 'pause',
        seek: 'seekWhileWaiting',
        link: 'seekWhileWaiting',
        filesIn: 'playOn',
        hidden: 'hide',
        contextLost: 'lose',
        escape: 'leaveFullScreen',
    },
    paused: {
        playPause: 'resume',
        seek: 'seek',
        link: 'seek',
        shown: 'show',
        contextLost: 'lose',
        escape: 'leaveFullScreen',
    },
    ended: {
        playPause: 'again',
        watchAgain: 'again',
        seek: 'seekFromEnd',
        link: 'seekFromEnd',
        contextLost: 'lose',
        escape: 'leaveFullScreen',
    },
    failed: {},
    lost: {
        playPause: 'toggleAfterLoss',
        seek: 'seekWhileLost',
        link: 'seekWhileLost',
        contextRestored: 'restore',
        escape: 'leaveFullScreen',
        failure: 'fail',
    },
};

export class PageStates {
    // `actions`: a function for every action the table names; each gets the
    // input's value (a time for seek and link) and returns the next state,
    // or nothing to stay. `onChange(state, before)` hears every change,
    // `onAction(state, input)` every input that acted.
    constructor(actions, onChange, onAction = () => {}) {
        this.actions = actions;
        this.onChange = onChange;
        this.onAction = onAction;
        this.state = 'loading';
    }

    // The action of `input` in the current state, or null for "nothing".
    actionOf(input) {
        return kTable[this.state][input] || null;
    }

    // Hands `input` (with `value`) to its action in the current state; true
    // when it did something.
    handle(input, value) {
        const action = this.actionOf(input);
        if (!action) return false;
        this.onAction(this.state, input);
        const next = this.actions[action](value);
        if (next) this.enter(next);
        return true;
    }

    enter(state) {
        if (state === this.state) return;
        const before = this.state;
        this.state = state;
        this.onChange(state, before);
    }

    // Whether the show is on the screen with its controls.
    get showing() {
        return ['playing', 'held', 'waiting', 'paused', 'lost'].includes(this.state);
    }

    // Whether the picture moves.
    get running() {
        return this.state === 'playing' || this.state === 'held';
    }
}
