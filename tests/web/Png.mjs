// Reads 8-bit RGB and RGBA PNG files (not interlaced), as quorvane-capture
// writes them, into RGBA rows, top row first.
import fs from 'node:fs';
import zlib from 'node:zlib';

// Returns { width, height, rgba } for the PNG file at `file`; throws on
// anything else.
export function readPng(file) {
    return decodePng(fs.readFileSync(file), file);
}

// The same for PNG `bytes` (a Buffer), named `file` in errors.
export function decodePng(bytes, file = 'PNG data') {
    if (bytes.readUInt32BE(0) !== 0x89504e47) throw new Error(`${file}: not a PNG file`);
    let at = 8;
    let width = 0;
    let height = 0;
    let channels = 0;
    const data = [];
    while (at < bytes.length) {
        const length = bytes.readUInt32BE(at);
        const type = bytes.toString('latin1', at + 4, at + 8);
        const chunk = bytes.subarray(at + 8, at + 8 + length);
        if (type === 'IHDR') {
            width = chunk.readUInt32BE(0);
            height = chunk.readUInt32BE(4);
            const depth = chunk[8];
            const colour = chunk[9];
            channels = { 2: 3, 6: 4 }[colour];
            if (depth !== 8 || !channels || chunk[12] !== 0)
                throw new Error(`${file}: only 8-bit RGB or RGBA PNG files without interlacing are read`);
        } else if (type === 'IDAT') {
            data.push(chunk);
        } else if (type === 'IEND') {
            break;
        }
        at += 12 + length;
    }
    const raw = zlib.inflateSync(Buffer.concat(data));
    const stride = width * channels;
    const rows = Buffer.alloc(stride * height);
    for (let y = 0; y < height; ++y) {
        const filter = raw[y * (stride + 1)];
        const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
        const out = rows.subarray(y * stride, (y + 1) * stride);
        const up = y > 0 ? rows.subarray((y - 1) * stride, y * stride) : Buffer.alloc(stride);
        for (let x = 0; x < stride; ++x) {
            const a = x >= channels ? out[x - channels] : 0;
            const b = up[x];
            const c = x >= channels ? up[x - channels] : 0;
            let predictor = 0;
            if (filter === 1) predictor = a;
            else if (filter === 2) predictor = b;
            else if (filter === 3) predictor = (a + b) >> 1;
            else if (filter === 4) {
                const p = a + b - c;
                const pa = Math.abs(p - a);
                const pb = Math.abs(p - b);
                const pc = Math.abs(p - c);
                predictor = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
            } else if (filter !== 0) throw new Error(`${file}: unknown PNG row filter ${filter}`);
            out[x] = (line[x] + predictor) & 0xff;
        }
    }
    const rgba = Buffer.alloc(width * height * 4);
    for (let i = 0; i < width * height; ++i) {
        for (let k = 0; k < 3; ++k) rgba[i * 4 + k] = rows[i * channels + k];
        rgba[i * 4 + 3] = channels === 4 ? rows[i * channels + 3] : 255;
    }
    return { width, height, rgba };
}
