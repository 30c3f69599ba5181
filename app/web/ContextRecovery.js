// The WebGL context's loss and return: when the browser takes the context
// away (a reset graphics driver, too many contexts) the page's state table
// hears "contextLost" and a note says the show waits; when it comes back the
// show is built again from its files and the table hears "contextRestored".
// Owns: the rebuild. Reads: the files in so far (SceneFiles writes them into
// the module's file system for it; images that arrive later come into the
// new textures). Never touches: the clock, the sound, the controls.
export class ContextRecovery {
    // `files` the page's SceneFiles; `states` the page's PageStates;
    // `note(text)` shows a note; `onFailure(message)` when the show cannot be
    // built again.
    constructor(files, states, note, onFailure) {
        this.files = files;
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
        let done;
        try {
            done = await this.files.holdForRebuild();
        } catch (error) {
            this.onFailure(`The picture could not be made again: ${error.message || error}`);
            return;
        }
        const status = picture.rebuild();
        done();
        if (status !== 0) {
            this.onFailure('The picture could not be made again after the graphics were reset.');
            return;
        }
        this.note('');
        onBuilt();
    }
}
