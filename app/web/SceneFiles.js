// The files that come after the show is built: each scene's images and the
// whole music track, loaded in show order ahead of the playhead. The show is
// built with a blank stand-in for every image; each image, as it arrives, is
// decoded by the browser (ImageFiles) and loaded into its textures. Tells
// whether the files of a show time are in, and how far along they are.
// Owns: the arrived images (kept to build the show again after a lost
// context) and their decoding. Reads: the module's list of the images each
// scene asked for, the downloads. Never touches: the page's elements, the
// clock, the picture's drawing.
import { ImageFiles } from './ImageFiles.js';
import { isImage, makeFolders } from './Loading.js';

// The whole track is needed this long before its opening runs out, so that
// the page switches to it while the opening still plays.
const kMusicMargin = 1;
// How far before its opening runs out the whole track's download is put in
// the queue (at 5 Mbit/s it takes about 10 s).
const kMusicLead = 20;
// Priorities of files needed behind the playhead, and of images no scene
// asked for: after everything ahead.
const kBehind = 1e6;

export class SceneFiles {
    // `loaded` from Loading's load; `scenes` ({ start, end } in story
    // order); with `withMusic` the whole track comes once its opening is in,
    // and goes to `addWhole(bytes)` (Sound's, which resolves to '' or to why
    // it cannot be played); `digests` keeps the SHA-256 of each image's
    // pixels; `onChange()` hears each file arrive or fail, `onMissing(url)`
    // each that could not be downloaded.
    constructor(loaded, scenes, { digests, withMusic, addWhole, onChange, onMissing }) {
        this.Module = loaded.Module;
        this.downloads = loaded.downloads;
        this.scenes = scenes;
        this.addWhole = addWhole;
        this.onChange = onChange;
        this.onMissing = onMissing;
        this.decoder = new ImageFiles(digests);
        this.digests = this.decoder.digests;
        this.playhead = 0;
        this.arrived = []; // [{ path, blob }] in the order they arrived
        this.chain = Promise.resolve(); // the arrivals, taken one at a time
        this.gate = null; // while the show is built again: the promise of its end
        this.images = new Map(); // path -> { url, size, scenes: [index], state: 'waiting', 'in' or 'failed' }
        for (const file of loaded.list.files.filter(isImage))
            this.images.set(file.path, { url: file.url, size: file.size, scenes: [], state: 'waiting' });
        scenes.forEach((scene, index) => {
            const asked = this.Module.UTF8ToString(this.Module._quorvane_scene_images(index)).split('\n');
            for (const path of asked.filter(Boolean)) {
                const image = this.images.get(path);
                if (image) image.scenes.push(index);
            }
        });
        const music = loaded.list.music;
        this.music = withMusic && music
            ? { url: music.path, size: this.sizeOf(loaded.list, music.path), opening: music.opening.seconds, state: 'waiting' }
            : null;
        const all = [];
        for (const [path, image] of this.images)
            all.push(this.downloads.fetch(image.url, image.size, this.priorityOf(image.url)).then((bytes) => this.arrive(path, image, bytes)));
        if (this.music) {
            const { url, size } = this.music;
            all.push(loaded.opening.then((opening) => {
                if (opening) return this.downloads.fetch(url, size, this.priorityOf(url)).then((bytes) => this.musicArrives(bytes));
                this.music.state = 'failed';
                return null;
            }));
        }
        this.allIn = Promise.all(all).then(() => this.decoder.release());
    }

    sizeOf(list, path) {
        const file = list.files.find((f) => f.path === path);
        return file ? file.size : 0;
    }

    // Writes a blank stand-in for every image into the module's file system,
    // for building the show before the images are in; removeStandIns takes
    // them out again.
    static writeStandIns(Module, list) {
        const blank = ImageFiles.tga(1, 1, new Uint8Array(4));
        for (const file of list.files.filter(isImage)) Module.FS.writeFile(makeFolders(Module.FS, file.path), blank);
    }

    static removeStandIns(Module, list) {
        for (const file of list.files.filter(isImage)) Module.FS.unlink('/' + file.path);
    }

    // The show will play from `time`: the files it needs from there come
    // first.
    prioritize(time) {
        this.playhead = time;
        this.downloads.reorder((url) => this.priorityOf(url));
    }

    // Seconds after the playhead at which the file at `url` is first needed,
    // or kBehind and more when only behind it.
    priorityOf(url) {
        const at = this.playhead;
        if (this.music && url === this.music.url) {
            const needed = this.music.opening - kMusicLead;
            return at < this.music.opening - kMusicMargin ? Math.max(0, needed - at) : 0;
        }
        let image = null;
        for (const one of this.images.values()) if (one.url === url) image = one;
        if (!image || !image.scenes.length) return 2 * kBehind;
        let best = kBehind + this.scenes[image.scenes[0]].start;
        for (const index of image.scenes) {
            const { start, end } = this.scenes[index];
            if (end > at) best = Math.min(best, Math.max(0, start - at));
        }
        return best;
    }

    // The index of the scene that draws at show time `time` (the one that
    // starts there at a boundary).
    sceneAt(time) {
        let index = 0;
        while (index + 1 < this.scenes.length && this.scenes[index + 1].start <= time) ++index;
        return index;
    }

    // The files the frames from `time` to `ahead` seconds after it need that
    // are not in yet: [{ size, received }].
    missingFor(time, ahead = 0) {
        const first = this.sceneAt(time);
        const last = this.sceneAt(time + ahead);
        const missing = [];
        for (const image of this.images.values()) {
            if (image.state === 'waiting' && image.scenes.some((scene) => scene >= first && scene <= last))
                missing.push({ size: image.size, received: this.downloads.received[image.url] || 0 });
        }
        if (this.music && this.music.state === 'waiting' && time + ahead >= this.music.opening - kMusicMargin)
            missing.push({ size: this.music.size, received: this.downloads.received[this.music.url] || 0 });
        return missing;
    }

    // Whether every file the frames from `time` to `ahead` seconds after it
    // need is in (or failed).
    readyFor(time, ahead = 0) {
        return this.missingFor(time, ahead).length === 0;
    }

    // How much of what the frames from `time` to `ahead` seconds after it
    // need is in, 0 to 1.
    progressFor(time, ahead = 0) {
        const missing = this.missingFor(time, ahead);
        const size = missing.reduce((n, file) => n + file.size, 0);
        return size ? Math.min(1, missing.reduce((n, file) => n + file.received, 0) / size) : 1;
    }

    // The images that arrived, for building the show again after a lost
    // context: writes their files (and stand-ins for the others) and holds
    // new arrivals until `done()` (returned) is called.
    async holdForRebuild() {
        let done;
        this.gate = new Promise((resolve) => (done = resolve));
        const release = () => {
            for (const path of this.images.keys()) {
                if (this.Module.FS.analyzePath('/' + path).exists) this.Module.FS.unlink('/' + path);
            }
            this.gate = null;
            done();
        };
        const blank = ImageFiles.tga(1, 1, new Uint8Array(4));
        const files = new ImageFiles(false);
        try {
            for (const path of this.images.keys()) this.Module.FS.writeFile('/' + path, blank);
            const made = await Promise.all(this.arrived.map((image) => files.fileOf(image.blob, image.path)));
            this.arrived.forEach((image, i) => this.Module.FS.writeFile('/' + image.path, made[i]));
        } catch (error) {
            release();
            throw error;
        } finally {
            files.release();
        }
        return release;
    }

    arrive(path, image, bytes) {
        if (!bytes) {
            image.state = 'failed';
            this.onMissing(image.url);
            this.onChange();
            return null;
        }
        const blob = new Blob([bytes], { type: 'image/webp' });
        this.chain = this.chain.then(async () => {
            const file = await this.decoder.fileOf(blob, path).catch((error) => {
                console.warn(`quorvane: ${image.url}: ${error.message || error}`);
                return null;
            });
            if (this.gate) await this.gate;
            if (file) {
                this.Module.FS.writeFile('/' + path, file);
                this.Module.ccall('quorvane_image_arrived', 'number', ['string'], [path]);
                this.Module.FS.unlink('/' + path);
                this.arrived.push({ path, blob });
            }
            image.state = file ? 'in' : 'failed';
            if (!file) this.onMissing(image.url);
            this.onChange();
        });
        return this.chain;
    }

    async musicArrives(bytes) {
        const trouble = bytes ? await this.addWhole(bytes) : 'the music could not be downloaded';
        this.music.state = trouble ? 'failed' : 'in';
        if (trouble) {
            console.warn(`quorvane: ${this.music.url}: ${trouble}`);
            this.onMissing(this.music.url);
        }
        this.onChange();
    }
}
