// The site's images are lossless WebP files of the PNG files the desktop
// reads. This decodes them with the browser (off the page's thread) and
// writes each into the show's file system, at the path data/config.txt
// names, as a run-length TGA file, which the show's image decoder
// (stb_image) reads: the same pixels, transparent ones included.
// Owns: a small WebGL 2 context of its own, through which the decoded pixels
// are read back exactly as stored (a 2D canvas would premultiply alpha).
// Never touches the show's canvas or its context.

// Images the browser decodes at once.
const kDecoding = 3;

export class ImageFiles {
    // With `digests`, the SHA-256 of each image's RGBA rows is kept by path
    // in `digests` (for tests).
    constructor(digests) {
        this.gl = null;
        this.decoding = 0;
        this.waiting = []; // resolvers of decodes waiting for their turn
        this.digests = digests ? {} : null;
    }

    // The TGA file of the WebP image `blob`, which the show reads at `path`.
    async fileOf(blob, path) {
        if (this.decoding >= kDecoding) await new Promise((resolve) => this.waiting.push(resolve));
        this.decoding += 1;
        let bitmap;
        try {
            bitmap = await createImageBitmap(blob, { premultiplyAlpha: 'none', colorSpaceConversion: 'none' });
        } finally {
            this.decoding -= 1;
            if (this.waiting.length) this.waiting.shift()();
        }
        try {
            const rgba = this.pixels(bitmap);
            if (this.digests) this.digests[path] = await sha256(rgba);
            return ImageFiles.tga(bitmap.width, bitmap.height, rgba);
        } finally {
            bitmap.close();
        }
    }

    // Frees the decoding context.
    release() {
        const lose = this.gl && this.gl.getExtension('WEBGL_lose_context');
        if (lose) lose.loseContext();
        this.gl = null;
    }

    // The RGBA rows of `bitmap`, top row first, as decoded.
    pixels(bitmap) {
        if (!this.gl) {
            this.gl = document.createElement('canvas').getContext('webgl2');
            if (!this.gl) throw new Error('no WebGL 2 context to decode images with');
            this.texture = this.gl.createTexture();
            this.framebuffer = this.gl.createFramebuffer();
        }
        const gl = this.gl;
        gl.bindTexture(gl.TEXTURE_2D, this.texture);
        gl.pixelStorei(gl.UNPACK_PREMULTIPLY_ALPHA_WEBGL, false);
        gl.pixelStorei(gl.UNPACK_COLORSPACE_CONVERSION_WEBGL, gl.NONE);
        gl.pixelStorei(gl.UNPACK_FLIP_Y_WEBGL, false);
        gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA8, gl.RGBA, gl.UNSIGNED_BYTE, bitmap);
        gl.bindFramebuffer(gl.FRAMEBUFFER, this.framebuffer);
        gl.framebufferTexture2D(gl.FRAMEBUFFER, gl.COLOR_ATTACHMENT0, gl.TEXTURE_2D, this.texture, 0);
        // Row 0 of the framebuffer is the image's first (top) row.
        const rgba = new Uint8Array(bitmap.width * bitmap.height * 4);
        gl.readPixels(0, 0, bitmap.width, bitmap.height, gl.RGBA, gl.UNSIGNED_BYTE, rgba);
        return rgba;
    }

    // A run-length encoded 32-bit TGA file of `rgba` (width x height, top
    // row first); runs stay inside a row.
    static tga(width, height, rgba) {
        const pixels = new Uint32Array(rgba.buffer, rgba.byteOffset, width * height);
        const out = new Uint8Array(18 + pixels.length * 4 + height * Math.ceil(width / 128));
        out.set([0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, width & 255, width >> 8, height & 255, height >> 8, 32, 0x28]);
        let at = 18;
        const put = (i) => {
            out[at] = rgba[i * 4 + 2];
            out[at + 1] = rgba[i * 4 + 1];
            out[at + 2] = rgba[i * 4];
            out[at + 3] = rgba[i * 4 + 3];
            at += 4;
        };
        for (let y = 0; y < height; ++y) {
            const end = (y + 1) * width;
            let i = y * width;
            while (i < end) {
                let run = 1;
                while (i + run < end && run < 128 && pixels[i + run] === pixels[i]) ++run;
                if (run > 1) {
                    out[at++] = 0x80 | (run - 1);
                    put(i);
                    i += run;
                    continue;
                }
                // Raw pixels up to the next pair of equal ones.
                let count = 1;
                while (i + count < end && count < 128 && !(i + count + 1 < end && pixels[i + count] === pixels[i + count + 1])) ++count;
                out[at++] = count - 1;
                for (let k = 0; k < count; ++k) put(i + k);
                i += count;
            }
        }
        return out.subarray(0, at);
    }
}

async function sha256(bytes) {
    const digest = new Uint8Array(await crypto.subtle.digest('SHA-256', bytes));
    return Array.from(digest, (b) => b.toString(16).padStart(2, '0')).join('');
}
