// Loading: fetches files.json and every file it lists, counting bytes for
// the progress bar, brings up the show's WebAssembly module, and writes the
// data into the module's file system at the paths the show reads (images
// through ImageFiles).
// Owns: the downloads and the module's start. Reads: files.json,
// quorvane.js, quorvane.wasm and the data. Never touches: the page's
// elements, the sound, the clock.
// What leaves nothing to show throws a LoadError in the viewer's words;
// files the show can do without (the music, an image, a dialog script) are
// listed in the result instead, and the show plays without them as the
// desktop does.
import { ImageFiles } from './ImageFiles.js';

const kReload = 'Check the connection and reload the page.';

export class LoadError extends Error {
    // `message`: what went wrong; `advice`: what the viewer can do.
    constructor(message, advice = kReload) {
        super(message);
        this.advice = advice;
    }
}

// Resolves to { Module, musicPath, missing ([address] of the files that
// could not be downloaded, as the page asked for them), captions (the cue file's text or null), images
// ([{ path, blob }]: their files are in the file system until removeImages;
// writeImages puts them there again), digests (by path, with `digests`) }.
// Each image is decoded as soon as it arrives; `onMusic(bytes)` gets the
// music as soon as it is there, to decode it meanwhile; `onProgress(fraction)`
// follows the downloads and the decoding.
export async function load({ onProgress, onMusic, digests }) {
    const list = await fetchList();
    const moduleReady = loadModule();
    const images = new ImageFiles(digests);
    const imageCount = list.files.filter(isImage).length;
    let bytes = 0;
    let decoded = 0;
    const progress = () => onProgress(0.9 * (bytes / Math.max(1, list.bytes)) + 0.1 * (decoded / Math.max(1, imageCount)));
    const fetchOne = async (file) => {
        const content = await fetchFile(file, (n) => {
            bytes += n;
            progress();
        });
        if (!content || !isImage(file)) return { file, content };
        const blob = new Blob([content], { type: 'image/webp' });
        const made = await images.fileOf(blob, file.path).catch((error) => {
            throw new LoadError(`The show's pictures could not be decoded (${file.url}: ${error.message || error}).`,
                'Try a current Chromium, Chrome, Edge, Firefox or Safari.');
        });
        decoded += 1;
        progress();
        return { file, content: made, blob };
    };
    let Module;
    let fetched;
    try {
        [Module, fetched] = await Promise.all([moduleReady, Promise.all(list.files.map((file) => fetchOne(file).then(
            async (one) => {
                if (one.content && !isImage(file) && file.path === musicPathOf(await moduleReady)) onMusic(one.content);
                return one;
            })))]);
    } finally {
        images.release();
    }

    const musicPath = musicPathOf(Module);
    const result = { Module, musicPath, missing: [], captions: null, images: [], digests: images.digests };
    for (const { file, content, blob } of fetched) {
        if (!content) result.missing.push(file.url);
        if (!content || file.path === musicPath) continue;
        Module.FS.writeFile(makeFolders(Module.FS, file.path), content);
        if (blob) result.images.push({ path: file.path, blob });
        if (file.path === Module.UTF8ToString(Module._quorvane_captions_path()))
            result.captions = new TextDecoder().decode(content);
    }
    if (!list.files.some((file) => file.path === musicPath)) result.missing.push(musicPath);
    return result;
}

// Decodes `images` and writes them into the file system again, for
// building the show again after a lost context.
export async function writeImages(Module, images) {
    const files = new ImageFiles(false);
    try {
        const made = await Promise.all(images.map((image) => files.fileOf(image.blob, image.path)));
        images.forEach((image, i) => Module.FS.writeFile('/' + image.path, made[i]));
    } finally {
        files.release();
    }
}

// Takes the images' files out of the file system once the show holds its
// textures.
export function removeImages(Module, images) {
    for (const image of images) Module.FS.unlink('/' + image.path);
}

function musicPathOf(Module) {
    return Module.UTF8ToString(Module._quorvane_music_path());
}

function isImage(file) {
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

function describe(response) {
    return `${response.status}${response.statusText ? ' ' + response.statusText : ''}`;
}

// The bytes of one data file, or null when it cannot be downloaded (the
// reason goes to the console).
async function fetchFile(file, onBytes) {
    try {
        const response = await fetch(file.url);
        if (!response.ok) {
            console.warn(`quorvane: ${file.url}: ${describe(response)}`);
            return null;
        }
        const chunks = [];
        const reader = response.body.getReader();
        for (;;) {
            const { done, value } = await reader.read();
            if (done) break;
            chunks.push(value);
            onBytes(value.length);
        }
        const bytes = new Uint8Array(chunks.reduce((n, c) => n + c.length, 0));
        let at = 0;
        for (const chunk of chunks) {
            bytes.set(chunk, at);
            at += chunk.length;
        }
        return bytes;
    } catch (error) {
        console.warn(`quorvane: ${file.url}: ${error.message || error}`);
        return null;
    }
}

// The WebAssembly module, once its runtime is up. The page fetches the
// .wasm itself, so that a failed download is one clear message and no
// uncaught error.
function loadModule() {
    return new Promise((resolve, reject) => {
        const fail = (what, why) => reject(new LoadError(`The show's program (${what}) could not be downloaded (${why}).`));
        window.Module = {
            print: (text) => console.log(text),
            printErr: (text) => console.warn(text),
            instantiateWasm: (imports, done) => {
                fetch('quorvane.wasm')
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
function makeFolders(FS, path) {
    let folder = '';
    for (const part of path.split('/').slice(0, -1)) {
        folder += '/' + part;
        if (!FS.analyzePath(folder).exists) FS.mkdir(folder);
    }
    return '/' + path;
}
