// The show time of each frame, following the music the viewer hears.
//
// While the sound output runs, show time is where in the track the sample
// being heard is (Sound.position). When the output has not started yet or
// stalls (a late sound device, an interruption), the picture holds where it
// is for up to kHoldSeconds, and goes on with the sound when it comes. After
// that the picture runs on the wall clock, silently, and as soon as the
// output runs again the track is started at the picture's time, so that the
// two go on together within a frame. Without music it runs on the wall clock
// throughout.
// Owns: the show time and the choice of clock. Reads: the sound's position
// and whether its output runs. Never touches: the page, the picture; the
// sound only to start the track where the picture is.

// How long the picture waits for a late or interrupted sound output.
export const kHoldSeconds = 3;

export class ShowClock {
    constructor(sound) {
        this.sound = sound;
        this.time = 0;
        this.paused = false;
        this.mode = 'wall'; // 'audio': the picture follows the sound heard; 'wall': the wall clock
        this.wallAt = 0; // performance time (ms) at which the wall clock read wallTime
        this.wallTime = 0;
        this.flowedAt = 0; // performance time the output last ran
        this.holding = false; // the picture waits for the sound output to run
    }

    // Starts the show at `time`, the track with it.
    start(time, now) {
        this.mode = this.sound.available ? 'audio' : 'wall';
        this.paused = false;
        this.moveTo(time, now);
    }

    // Puts the show at `time` and the track there (a paused clock stays
    // paused, its sound held); the clock it runs on stays.
    moveTo(time, now) {
        this.time = time;
        this.sound.play(time);
        this.runWallFrom(now);
        this.flowedAt = now;
    }

    pause() {
        this.paused = true;
        this.holding = false;
    }

    resume(now) {
        this.paused = false;
        this.runWallFrom(now);
        this.flowedAt = now;
    }

    runWallFrom(now) {
        this.wallAt = now;
        this.wallTime = this.time;
    }

    // Seconds since the sound output last ran while the show played; 0 while
    // it runs, and without music.
    silentFor(now) {
        return this.paused || !this.sound.available ? 0 : (now - this.flowedAt) / 1000;
    }

    // The show time of a frame drawn at performance time `now` (ms).
    tick(now) {
        if (this.paused) return this.time;
        const position = this.sound.position(now);
        const flowing = position !== null && this.sound.flowing(now);
        if (flowing) this.flowedAt = now;
        this.holding = false;
        if (this.mode === 'audio') {
            if (position !== null && (flowing || now - this.flowedAt < kHoldSeconds * 1000)) {
                // Never backwards: a new output timestamp may land a little
                // behind the last one carried forward.
                this.time = Math.max(this.time, position);
                this.holding = !flowing;
                return this.time;
            }
            this.mode = 'wall';
            this.runWallFrom(now);
        }
        this.time = this.wallTime + (now - this.wallAt) / 1000;
        if (flowing) {
            // The sound is back: it starts where the picture is.
            this.sound.play(this.time);
            this.mode = 'audio';
        }
        return this.time;
    }
}
