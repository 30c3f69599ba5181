// Loading: fetches files.json and the files the show is built from,
// counting bytes for the progress bar, brings up the show's WebAssembly
// module, and writes the data into the module's file system at the paths
// the show reads. The images and the music come after, in show order
// (SceneFiles).
// Owns: the downloads and the module's start. Reads: files.json,
// quorvane.js, quorvane.wasm and the data. Never touches: the page's
// elements, the sound, the clock.
// What leaves nothing to show throws a LoadError in the viewer's words;
// files the show can do without (the music, an image, a dialog script) are
// listed in the result instead, and the show plays without them as the
// desktop does.
import { describe, Downloads } from './Downloads.js';

const kReload = 'Check the connection and reload the page.';

export class LoadError extends Error {
    // `message`: what went wrong; `advice`: what the viewer can do.
    constructor(message, advice = kReload) {
        super(message);
        this.advice = advice;
    }
}

// Resolves to { Module, list (files.json), downloads (the queue the rest
// of the files follow), musicPath, opening (a promise of the bytes of the
// music's opening, or of null), missing ([address] of the files that could not be
// downloaded, as the page asked for them), captions (the cue file's text or
// null) }, once the module runs and the files it is built from are written
// into its file system (everything but the images and the music, which
// SceneFiles loads in show order after). `onProgress(fraction)` follows
// these downloads; with `withMusic` the music's opening comes too.
export async function load({ onProgress, withMusic }) {
    const moduleReady = loadModule();
    // (A list that does not come is the one failure told.)
    moduleReady.catch(() => {});
    const list = await fetchList();
    const downloads = new Downloads();
    const music = list.music || null;
    const builtFrom = list.files.filter((file) => !isImage(file) && file.path !== (music && music.path));
    const opening = withMusic && music ? music.opening : null;
    const total = builtFrom.reduce((n, file) => n + file.size, 0) + (opening ? opening.size : 0);
    const progress = () => onProgress(Object.values(downloads.received).reduce((n, b) => n + b, 0) / Math.max(1, total));
    const timer = setInterval(progress, 100);
    const openingBytes = opening ? downloads.fetch(opening.url, opening.size, -Infinity) : Promise.resolve(null);
    let Module;
    let fetched;
    try {
        [Module, fetched] = await Promise.all([
            moduleReady,
            Promise.all(builtFrom.map((file) => downloads.fetch(file.url, file.size, -Infinity).then((content) => ({ file, content })))),
        ]);
    } finally {
        clearInterval(timer);
    }
    progress();

    const musicPath = musicPathOf(Module);
    const result = { Module, list, downloads, musicPath, opening: openingBytes, missing: [], captions: null };
    for (const { file, content } of fetched) {
        if (!content) {
            result.missing.push(file.url);
            continue;
        }
        Module.FS.writeFile(makeFolders(Module.FS, file.path), content);
        if (file.path === Module.UTF8ToString(Module._quorvane_captions_path()))
            result.captions = new TextDecoder().decode(content);
    }
    if (withMusic && !opening) result.missing.push(musicPath);
    return result;
}

function musicPathOf(Module) {
    return Module.UTF8ToString(Module._quorvane_music_path());
}

export function isImage(file) {
    return file.url !== file.path && file.url.endsWith('.webp');
}

async function fetchList() {
    let response;
    try {
        response = await fetch('files.json');
    } catch {
        throw new LoadError('The show could not be downloaded: no connection to the site.');
    }
    if (!response.ok)
        throw new LoadError(`The show's list of files (files.json) could not be downloaded (${describe(response)}).`,
            'Reload the page; if this stays, the site is incomplete.');
    try {
        const list = await response.json();
        for (const file of list.files) file.url = file.url || file.path;
        return list;
    } catch {
        throw new LoadError('The show\'s list of files (files.json) is damaged.', 'Reload the page; if this stays, the site is incomplete.');
    }
}

// The WebAssembly module, once its runtime is up. The page fetches the
// .wasm itself, so that a failed download is one clear message and no
// uncaught error.
function loadModule() {
    // The program downloads beside the script that starts it.
    const wasm = fetch('quorvane.wasm');
    wasm.catch(() => {});
    return new Promise((resolve, reject) => {
        const fail = (what, why) => reject(new LoadError(`The show's program (${what}) could not be downloaded (${why}).`));
        window.Module = {
            print: (text) => console.log(text),
            printErr: (text) => console.warn(text),
            instantiateWasm: (imports, done) => {
                wasm
                    .then((response) => {
                        if (!response.ok) throw new Error(describe(response));
                        return response.arrayBuffer();
                    })
                    .then((bytes) => WebAssembly.instantiate(bytes, imports))
                    .then((made) => done(made.instance, made.module))
                    .catch((error) => fail('quorvane.wasm', error.message || String(error)));
                return {};
            },
            onRuntimeInitialized: () => resolve(window.Module),
            onAbort: (what) => reject(new LoadError(`The show stopped while starting (${what}).`)),
        };
        const script = document.createElement('script');
        script.src = 'quorvane.js';
        script.onerror = () => fail('quorvane.js', 'not found');
        document.body.appendChild(script);
    });
}

// Makes the folders of `path` in `FS`; returns its absolute path there.
export function makeFolders(FS, path) {
    let folder = '';
    for (const part of path.split('/').slice(0, -1)) {
        folder += '/' + part;
        if (!FS.analyzePath(folder).exists) FS.mkdir(folder);
    }
    return '/' + path;
}
