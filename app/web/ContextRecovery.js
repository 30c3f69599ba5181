// The WebGL context's loss and return: when the browser takes the context
// away (a reset graphics driver, too many contexts) the page's state table
// hears "contextLost" and a note says the show waits; when it comes back the
// show is built again from its files and the table hears "contextRestored".
// Owns: the rebuild (the images written into the module's file system for
// it and taken out again). Reads: the loaded files. Never touches: the
// clock, the sound, the controls.
import { removeImages, writeImages } from './Loading.js';

export class ContextRecovery {
    // `loaded` from Loading's load; `states` the page's PageStates; `note(text)`
    // shows a note; `onFailure(message)` when the show cannot be built again.
    constructor(loaded, states, note, onFailure) {
        this.loaded = loaded;
        this.states = states;
        this.note = note;
        this.onFailure = onFailure;
    }

    lost() {
        this.states.handle('contextLost');
        this.note('The picture was lost (the graphics were reset). It comes back by itself; the show waits.');
    }

    // Builds the show again on the restored context; `onBuilt()` once it is.
    async restored(picture, onBuilt) {
        try {
            await writeImages(this.loaded.Module, this.loaded.images);
        } catch (error) {
            this.onFailure(`The picture could not be made again: ${error.message || error}`);
            return;
        }
        const status = picture.rebuild();
        removeImages(this.loaded.Module, this.loaded.images);
        if (status !== 0) {
            this.onFailure('The picture could not be made again after the graphics were reset.');
            return;
        }
        this.note('');
        onBuilt();
    }
}
