// The page around the show: loads the data with a progress bar, builds the
// show on a WebGL 2 canvas, waits for a click or key (browsers allow sound
// only after one), then plays the music through Web Audio and draws each
// frame at the show time read from the audio clock, so that the picture
// stays on the sound when frames are dropped. Escape or the end of the music
// ends on a quiet card; F or a double click toggles full screen.
//
// Test hooks in the address: ?t=T starts the show at T seconds; with &still
// it draws the one frame at T without sound and stops; with &bench=S it
// draws frames without sound for S seconds of wall-clock time from T and
// counts them. window.quorvane reports the state for tests and benchmarks.
'use strict';

(function () {
    const params = new URLSearchParams(location.search);
    const startOffset = Math.max(0, Number(params.get('t')) || 0);
    const still = params.has('still');
    const benchSeconds = Number(params.get('bench')) || 0;
    const silent = still || benchSeconds > 0;

    const body = document.body;
    const canvas = document.getElementById('canvas');
    const bar = document.getElementById('bar');
    const progress = document.getElementById('progress');
    const message = document.getElementById('message');
    const hint = document.getElementById('hint');

    // What tests and benchmarks read: state is one of loading, ready,
    // playing, ended, still, benched, no-webgl2, failed.
    const report = (window.quorvane = {
        state: 'loading',
        error: '',
        frames: 0,
        renderMs: 0, // time spent in the show's render calls (handing GL its work)
        showTime: 0,
        clickToFirstFrameMs: null,
        benchFrames: 0,
        benchSeconds: 0,
        loadMs: null,
        scenes: [], // [start, end] of each scene in story order
    });

    let audio = null; // AudioContext, when the browser has one
    let music = null; // the decoded AudioBuffer
    let source = null; // the playing AudioBufferSourceNode
    let gain = null;
    let startAt = 0; // audio clock time at which show time 0 sounds
    let lastTime = 0;
    let clickAt = 0;
    let audioClockAtStart = 0;
    // How long the audio clock may take to start running after the click.
    const kAudioClockGraceMs = 1000;
    let drawn = false; // whether the canvas holds a frame of the show

    function setState(state, text, detail) {
        report.state = state;
        body.className = state;
        if (text !== undefined) message.textContent = text;
        if (detail !== undefined) hint.textContent = detail;
    }

    function fail(text, detail) {
        report.error = text + (detail ? ': ' + detail : '');
        console.error('quorvane: ' + report.error);
        setState('failed', text, detail || '');
    }

    function setProgress(fraction) {
        const percent = Math.round(Math.min(1, fraction) * 100);
        bar.style.width = percent + '%';
        progress.setAttribute('aria-valuenow', String(percent));
    }

    // The canvas's drawing buffer in device pixels: the window's size at
    // the device's pixel density.
    function canvasSize() {
        const ratio = window.devicePixelRatio || 1;
        return [Math.max(1, Math.round(canvas.clientWidth * ratio)), Math.max(1, Math.round(canvas.clientHeight * ratio))];
    }

    function fitCanvas() {
        const [width, height] = canvasSize();
        if (canvas.width === width && canvas.height === height) return false;
        canvas.width = width;
        canvas.height = height;
        return true;
    }

    function hasWebGl2() {
        const probe = document.createElement('canvas').getContext('webgl2');
        if (!probe) return false;
        const lose = probe.getExtension('WEBGL_lose_context');
        if (lose) lose.loseContext();
        return true;
    }

    // Fetches every file of the list, counting bytes for the progress bar.
    async function fetchAll(files, total) {
        let loaded = 0;
        const fetchOne = async (file) => {
            const response = await fetch(file.path);
            if (!response.ok) throw new Error(file.path + ': ' + response.status + ' ' + response.statusText);
            const chunks = [];
            const reader = response.body.getReader();
            for (;;) {
                const { done, value } = await reader.read();
                if (done) break;
                chunks.push(value);
                loaded += value.length;
                setProgress(loaded / total);
            }
            const bytes = new Uint8Array(chunks.reduce((n, c) => n + c.length, 0));
            let at = 0;
            for (const chunk of chunks) {
                bytes.set(chunk, at);
                at += chunk.length;
            }
            return bytes;
        };
        return Promise.all(files.map(fetchOne));
    }

    // The WebAssembly module; resolves once its runtime is up.
    function loadModule() {
        return new Promise((resolve, reject) => {
            window.Module = {
                canvas: canvas,
                print: (text) => console.log(text),
                printErr: (text) => console.error(text),
                onRuntimeInitialized: () => resolve(window.Module),
                onAbort: (what) => reject(new Error('the show stopped: ' + what)),
            };
            const script = document.createElement('script');
            script.src = 'quorvane.js';
            script.onerror = () => reject(new Error('cannot load quorvane.js'));
            document.body.appendChild(script);
        });
    }

    function writeFile(FS, path, bytes) {
        const parts = path.split('/');
        let folder = '';
        for (const part of parts.slice(0, -1)) {
            folder += '/' + part;
            if (!FS.analyzePath(folder).exists) FS.mkdir(folder);
        }
        FS.writeFile('/' + path, bytes);
    }

    // Show time now, from the audio clock: the time of the sample being
    // heard, carried forward smoothly between the clock's updates.
    function audioShowTime() {
        let now = audio.currentTime;
        if (audio.getOutputTimestamp) {
            const stamp = audio.getOutputTimestamp();
            if (stamp.contextTime > 0 && stamp.performanceTime > 0)
                now = stamp.contextTime + (performance.now() - stamp.performanceTime) / 1000;
        }
        return now - startAt;
    }

    let wallStart = 0;
    function wallShowTime() {
        return startOffset + (performance.now() - wallStart) / 1000;
    }

    let clock = wallShowTime;

    function drawFrame(time) {
        report.showTime = time;
        const began = performance.now();
        window.Module._quorvane_frame(time);
        report.renderMs += performance.now() - began;
        report.frames += 1;
        drawn = true;
    }

    // Without an audio device (as in some headless browsers) the audio clock
    // stands still; the show then keeps time by the wall clock, silently.
    function checkAudioClock() {
        if (clock !== audioShowTime || audio.currentTime > audioClockAtStart) return;
        if (performance.now() - clickAt < kAudioClockGraceMs) return;
        console.warn('quorvane: the audio clock does not run; playing by the wall clock');
        wallStart = performance.now() - (lastTime - startOffset) * 1000;
        clock = wallShowTime;
    }

    function frame() {
        if (report.state !== 'playing') return;
        checkAudioClock();
        // Never backwards: the audio clock's estimate may step back a little.
        const time = Math.max(lastTime, clock());
        lastTime = time;
        drawFrame(time);
        if (report.clickToFirstFrameMs === null) report.clickToFirstFrameMs = performance.now() - clickAt;
        if (music && time >= music.duration) {
            end();
            return;
        }
        requestAnimationFrame(frame);
    }

    function start(event) {
        if (report.state !== 'ready') return;
        clickAt = event && event.timeStamp ? event.timeStamp : performance.now();
        setState('playing', '', '');
        lastTime = startOffset;
        if (audio && music) {
            audio.resume();
            gain = audio.createGain();
            gain.connect(audio.destination);
            source = audio.createBufferSource();
            source.buffer = music;
            source.connect(gain);
            source.onended = () => end();
            const when = audio.currentTime;
            audioClockAtStart = when;
            source.start(when, startOffset);
            startAt = when - startOffset;
            clock = audioShowTime;
        } else {
            wallStart = performance.now();
            clock = wallShowTime;
        }
        requestAnimationFrame(frame);
    }

    // Ends the show: the music fades out quickly, the picture fades to the
    // closing card.
    function end() {
        if (report.state !== 'playing') return;
        setState('ended', 'The end', 'Thank you for watching. Reload the page to watch again.');
        if (source && audio) {
            source.onended = null;
            const now = audio.currentTime;
            gain.gain.setValueAtTime(gain.gain.value, now);
            gain.gain.linearRampToValueAtTime(0, now + 0.4);
            source.stop(now + 0.45);
        }
    }

    function toggleFullScreen() {
        if (document.fullscreenElement) document.exitFullscreen();
        else if (document.documentElement.requestFullscreen) document.documentElement.requestFullscreen().catch(() => {});
    }

    function benchmark() {
        setState('playing', '', '');
        wallStart = performance.now();
        const step = () => {
            const elapsed = (performance.now() - wallStart) / 1000;
            if (elapsed >= benchSeconds) {
                report.benchFrames = report.frames;
                report.benchSeconds = elapsed;
                setState('benched');
                return;
            }
            drawFrame(startOffset + elapsed);
            requestAnimationFrame(step);
        };
        requestAnimationFrame(step);
    }

    window.addEventListener('keydown', (event) => {
        if (event.key === 'f' || event.key === 'F') {
            toggleFullScreen();
        } else if (event.key === 'Escape') {
            end();
        } else if (!event.repeat) {
            start(event);
        }
    });
    window.addEventListener('pointerdown', (event) => {
        if (event.button === 0) start(event);
    });
    window.addEventListener('dblclick', toggleFullScreen);
    window.addEventListener('resize', () => {
        if (!window.Module || !window.Module._quorvane_resize || !fitCanvas()) return;
        window.Module._quorvane_resize(canvas.width, canvas.height);
        // A new drawing buffer is blank; show the frame again while paused.
        if (drawn && report.state !== 'playing') drawFrame(report.showTime);
    });

    // Reads the canvas back as base64 RGBA rows, top row first (tests).
    report.readPixels = function () {
        const copy = document.createElement('canvas');
        copy.width = canvas.width;
        copy.height = canvas.height;
        const context = copy.getContext('2d');
        context.drawImage(canvas, 0, 0);
        const rgba = context.getImageData(0, 0, copy.width, copy.height).data;
        let text = '';
        for (let i = 0; i < rgba.length; i += 0x8000) text += String.fromCharCode.apply(null, rgba.subarray(i, i + 0x8000));
        return { width: copy.width, height: copy.height, rgba: btoa(text) };
    };

    async function load() {
        const began = performance.now();
        if (!hasWebGl2()) {
            setState('no-webgl2', 'This browser cannot show Quorvane: it has no WebGL 2.',
                'Try a current Chromium, Chrome, Edge or Firefox with hardware acceleration switched on.');
            return;
        }
        setState('loading', 'Loading…', '');
        try {
            const listResponse = await fetch('files.json');
            if (!listResponse.ok) throw new Error('files.json: ' + listResponse.status);
            const list = await listResponse.json();
            const [Module, contents] = await Promise.all([loadModule(), fetchAll(list.files, list.bytes)]);
            const musicPath = Module.UTF8ToString(Module._quorvane_music_path());
            let musicBytes = null;
            list.files.forEach((file, i) => {
                if (file.path === musicPath) musicBytes = contents[i];
                else writeFile(Module.FS, file.path, contents[i]);
            });

            fitCanvas();
            const status = Module._quorvane_start(canvas.width, canvas.height, still ? 1 : 0);
            if (status === 1) {
                setState('no-webgl2', 'This browser cannot show Quorvane: it has no WebGL 2.', '');
                return;
            }
            if (status !== 0) throw new Error('the show could not be built (see the console)');
            report.scenes = [];
            for (let i = 0; Module._quorvane_scene_start(i) >= 0; ++i)
                report.scenes.push([Module._quorvane_scene_start(i), Module._quorvane_scene_end(i)]);

            if (still) {
                drawFrame(startOffset);
                report.loadMs = performance.now() - began;
                setState('still', '', '');
                return;
            }
            if (benchSeconds > 0) {
                report.loadMs = performance.now() - began;
                benchmark();
                return;
            }
            if (!silent && musicBytes) {
                try {
                    audio = new AudioContext();
                    music = await audio.decodeAudioData(musicBytes.buffer);
                } catch (error) {
                    console.error('quorvane: ' + musicPath + ': cannot play the music (' + error + '); playing silently');
                    audio = null;
                    music = null;
                }
            }
            report.loadMs = performance.now() - began;
            setState('ready', 'Click or press a key to start', 'F or a double click: full screen · Escape: end');
        } catch (error) {
            fail('The show could not be loaded', error.message || String(error));
        }
    }

    load();
})();
