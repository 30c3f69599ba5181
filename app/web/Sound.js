// The music through Web Audio: decodes the track's opening while the page
// loads and makes the AudioContext then (browsers hold it suspended until a
// viewer's gesture resumes it), plays the track from any show time, pauses
// by suspending the context, mutes, and tells where in the music the sample
// being heard is. The whole track comes later; when it is decoded the page
// goes over to it at an exact sample, the opening's samples being the
// track's own.
// Owns: the AudioContext, the decoded track, its source and gain nodes.
// Reads: nothing of the page. Never touches: the picture, the clock's
// decisions, the page's elements.

// The audio clock counts as stalled once its output timestamps have not
// moved for this long while it should run (they move once per buffer).
const kStallSeconds = 0.25;
// How long an ending fades out.
const kFadeSeconds = 0.4;
// How far ahead of the context's time the switch to the whole track is
// scheduled: later than the next render quantum.
const kSwitchSeconds = 0.1;

// The Ogg Vorbis `bytes` decoded at the track's own rate (an offline
// context's), whatever the output's.
function decode(bytes) {
    const Offline = window.OfflineAudioContext || window.webkitOfflineAudioContext;
    return new Offline(2, 1, 44100).decodeAudioData(bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.byteLength));
}

export class Sound {
    // `bytes`: the Ogg Vorbis track's opening (or the whole track), or null
    // when there is none; `seconds`: the whole track's length.
    constructor(bytes, seconds = null) {
        this.bytes = bytes;
        this.seconds = seconds;
        this.music = null; // the decoded AudioBuffer: the opening, then the whole track
        this.whole = false; // whether `music` is the whole track
        this.preparing = null; // the opening's decoding, once asked for
        this.context = null;
        this.gain = null;
        this.source = null;
        this.schedule = null; // { when, offset }: context time `when` plays track time `offset`
        this.muted = false;
        this.wanted = false; // the output should run (a pause unwants it)
        this.lastStamp = null; // the last heard context time seen
        this.movedAt = -Infinity; // performance time the output timestamp last moved
    }

    // Decodes the track (its opening); resolves to '' or to why it cannot be
    // played. Asked again, the same answer.
    prepare() {
        if (!this.preparing) this.preparing = this.decodeOpening();
        return this.preparing;
    }

    async decodeOpening() {
        if (!this.bytes) return 'the music could not be downloaded';
        const Offline = window.OfflineAudioContext || window.webkitOfflineAudioContext;
        if (!Offline || !(window.AudioContext || window.webkitAudioContext)) return 'this browser has no Web Audio';
        try {
            // An offline context decodes at the track's own rate, whatever
            // the output's.
            this.music = await decode(this.bytes);
            this.bytes = null;
            if (!this.seconds) this.seconds = this.music.duration;
            this.whole = this.music.duration >= this.seconds;
        } catch (error) {
            return `the music could not be decoded (${error.message || error})`;
        }
        try {
            // Made now, so that a gesture has only to resume it.
            this.context = new (window.AudioContext || window.webkitAudioContext)();
            this.gain = this.context.createGain();
            this.gain.connect(this.context.destination);
            return '';
        } catch (error) {
            this.music = null;
            return `the sound output cannot be opened (${error.message || error})`;
        }
    }

    get available() {
        return this.music !== null;
    }

    // Seconds of music, or null without any.
    get duration() {
        return this.music ? this.seconds : null;
    }

    // Decodes the whole track (`bytes`) and plays on from it, going over from
    // the opening where it plays at an exact sample; resolves to '' or to
    // why it cannot be played.
    async addWhole(bytes) {
        // (The whole track may come while its opening still decodes.)
        await this.prepare();
        if (!this.music) return 'the music\'s opening is missing';
        let whole;
        try {
            whole = await decode(bytes);
        } catch (error) {
            return `the music could not be decoded (${error.message || error})`;
        }
        const opening = this.music;
        this.music = whole;
        this.whole = true;
        if (!this.source || this.source.buffer !== opening || !this.schedule) return '';
        // The switch, a little ahead on an exact frame of the context, where
        // the opening plays the same sample of the track.
        const rate = this.context.sampleRate;
        const when = Math.ceil((this.context.currentTime + kSwitchSeconds) * rate) / rate;
        const offset = this.schedule.offset + (when - this.schedule.when);
        if (offset >= opening.duration) return '';
        const source = this.context.createBufferSource();
        source.buffer = whole;
        source.connect(this.gain);
        source.start(when, offset);
        this.source.stop(when);
        this.source = source;
        this.schedule = { when, offset, continues: true };
        return '';
    }

    // Asks for the sound output; call it in every viewer gesture (a click, a
    // tap's pointerup, a key) while it does not run, as browsers start it
    // only there.
    unlock() {
        if (this.context && this.wanted && this.context.state !== 'running') this.resume();
    }

    // Plays the track from `offset` seconds (silence past what is decoded)
    // as soon as the output runs (at once when it does, or when the context
    // resumes).
    play(offset) {
        if (!this.context) return;
        this.stopSource();
        const source = this.context.createBufferSource();
        source.buffer = this.music;
        source.connect(this.gain);
        const when = this.context.currentTime;
        // (An ending may have faded the gain out.)
        this.gain.gain.cancelScheduledValues(when);
        this.gain.gain.setValueAtTime(this.muted ? 0 : 1, when);
        source.start(when, Math.min(Math.max(0, offset), this.music.duration));
        this.source = source;
        this.schedule = { when, offset };
    }

    // Holds the output where it is (the context's clock stands still), also
    // when a resume asked for before is still on its way.
    pause() {
        this.wanted = false;
        if (this.context && this.context.state !== 'closed') this.context.suspend().catch(() => {});
    }

    // Lets the output run; a pause that comes before the browser answers
    // holds it again.
    resume() {
        if (!this.context) return;
        this.wanted = true;
        this.context.resume().then(() => {
            if (!this.wanted && this.context.state === 'running') this.context.suspend().catch(() => {});
        }, () => {});
    }

    setMuted(muted) {
        this.muted = muted;
        if (this.gain) this.gain.gain.setValueAtTime(muted ? 0 : 1, this.context.currentTime);
    }

    // Fades the track out and stops it.
    fadeOut() {
        if (!this.source) return;
        const now = this.context.currentTime;
        this.gain.gain.setValueAtTime(this.gain.gain.value, now);
        this.gain.gain.linearRampToValueAtTime(0, now + kFadeSeconds);
        this.source.stop(now + kFadeSeconds);
        this.source = null;
    }

    stopSource() {
        if (!this.source) return;
        this.source.stop();
        this.source.disconnect();
        this.source = null;
    }

    // The context time of the sample heard at performance time `now` (ms):
    // the last output timestamp carried forward by the wall clock, at most
    // one buffer (twice the base latency) past it, so the picture never runs
    // ahead of a stalled output for longer than that.
    heardContextTime(now) {
        const context = this.context;
        const stamp = context.getOutputTimestamp ? context.getOutputTimestamp() : null;
        const stamped = !!stamp && stamp.performanceTime > 0;
        const heard = stamped ? stamp.contextTime
            : Math.max(0, context.currentTime - (context.outputLatency || context.baseLatency || 0));
        if (this.lastStamp !== null && heard > this.lastStamp) this.movedAt = now;
        this.lastStamp = heard;
        if (!stamped || context.state !== 'running') return heard;
        const buffer = Math.min(0.1, Math.max(0.02, 2 * (context.baseLatency || 0.01)));
        return heard + Math.min(buffer, Math.max(0, (now - stamp.performanceTime) / 1000));
    }

    // Where in the track the sample heard at performance time `now` is, or
    // null when no track plays.
    position(now) {
        if (!this.context || !this.schedule) return null;
        // (A switch to the whole track is scheduled a little ahead: until
        // then the opening plays on the same line.)
        const played = this.heardContextTime(now) - this.schedule.when;
        return this.schedule.offset + (this.schedule.continues ? played : Math.max(0, played));
    }

    // Whether the output runs: the context runs and its output timestamps
    // moved lately (call position first, which watches them).
    flowing(now) {
        return !!this.context && this.context.state === 'running' && now - this.movedAt < kStallSeconds * 1000;
    }
}
