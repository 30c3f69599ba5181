// Figures of the web build in headless Chromium (SwiftShader): what a viewer
// downloads, the time from opening the page to its start card, from a tap
// on a phone and a click on a desktop to the first frame, and frames per
// second in the middle of every scene at 1280x720, and the start over a
// throttled 20 and 5 Mbit/s link. A benchmark, not a test:
// it prints figures and judges nothing.
//
// usage: node bench/web-bench.mjs [SITE_DIR] [--runs N] [--seconds S]
//   (after tools/build-web and, once, npm ci in tests/web)
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { serve, launchChromium, openPage, waitForState, waitUntil, report, kPhone } from '../tests/web/WebSite.mjs';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..');
const args = process.argv.slice(2);
const option = (name, fallback) => {
    const at = args.indexOf(name);
    if (at < 0) return fallback;
    const value = Number(args[at + 1]);
    if (!(value > 0)) {
        console.error(`web-bench: ${name} wants a positive number`);
        process.exit(2);
    }
    args.splice(at, 2);
    return value;
};
const runs = option('--runs', 5);
const seconds = option('--seconds', 3);
const siteDir = path.resolve(args[0] || path.join(root, 'build-web', 'site'));
if (!fs.existsSync(path.join(siteDir, 'index.html'))) {
    console.error(`web-bench: ${siteDir} holds no site; run tools/build-web first`);
    process.exit(1);
}
const kWidth = 1280;
const kHeight = 720;

const median = (values) => {
    const sorted = [...values].sort((a, b) => a - b);
    const middle = sorted.length >> 1;
    return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};
const mb = (bytes) => (bytes / 1e6).toFixed(1) + ' MB';

// The bytes of every file under `folder` whose name passes `keep`.
function bytesIn(folder, keep = () => true) {
    let total = 0;
    for (const entry of fs.readdirSync(folder, { withFileTypes: true })) {
        const file = path.join(folder, entry.name);
        if (entry.isDirectory()) total += bytesIn(file, keep);
        else if (keep(entry.name)) total += fs.statSync(file).size;
    }
    return total;
}

const site = await serve(siteDir);
const browser = await launchChromium();
try {
    const list = JSON.parse(fs.readFileSync(path.join(siteDir, 'files.json'), 'utf8'));
    const images = list.files.filter((file) => file.url !== file.path).reduce((sum, file) => sum + file.size, 0);
    const music = list.files.filter((file) => file.path.endsWith('.ogg')).reduce((sum, file) => sum + file.size, 0);
    const opening = list.music ? list.music.opening.size : 0;
    const code = bytesIn(siteDir) - list.bytes - opening;
    console.log(`download: ${mb(bytesIn(siteDir))} in all: images ${mb(images)}, music ${mb(music)} and its opening `
        + `${mb(opening)}, other data ${mb(list.bytes - images - music)}, page and program ${mb(code)}`);

    const ready = [];
    const scriptToReady = [];
    const firstFrames = { tap: [], click: [] };
    let scenes = [];
    for (let run = 0; run < runs; ++run) {
        for (const way of ['tap', 'click']) {
            const page = await openPage(browser, site.url, way === 'tap' ? { device: kPhone } : { width: kWidth, height: kHeight });
            const shown = await waitForState(page, ['ready', 'failed', 'no-webgl2'], 120000);
            if (shown.state !== 'ready') throw new Error(`the page did not get ready: ${shown.state} ${shown.error}`);
            scenes = shown.scenes;
            ready.push(shown.readyAt);
            scriptToReady.push(shown.loadMs);
            if (way === 'tap') await page.touchscreen.tap(195, 700);
            else await page.mouse.click(kWidth / 2, kHeight / 2);
            await waitUntil(page, 'window.quorvane.tapToFirstFrameMs !== null');
            firstFrames[way].push((await report(page)).tapToFirstFrameMs);
            await page.context().close();
        }
    }
    console.log(`page opened to start card: median ${median(ready).toFixed(0)} ms over ${ready.length} loads `
        + `(from the page's script starting: ${median(scriptToReady).toFixed(0)} ms)`);
    for (const [way, times] of Object.entries(firstFrames))
        console.log(`${way} to first frame: median ${median(times).toFixed(1)} ms, largest ${Math.max(...times).toFixed(1)} ms over ${times.length}`);

    // The start over a home's link and a phone's, as the browser's network
    // throttling holds them (40 ms of latency each way): the start card, the
    // data in by then, and (tapped at once) when every file is in and how
    // often the show waited for one meanwhile.
    const total = list.bytes + (list.music ? list.music.opening.size : 0);
    for (const mbit of [20, 5]) {
        const cards = [];
        const bytes = [];
        const allIn = [];
        let waits = 0;
        for (let run = 0; run < Math.min(runs, 3); ++run) {
            const page = await openPage(browser, site.url, { device: kPhone, link: { mbit, latencyMs: 40 } });
            const shown = await waitForState(page, ['ready', 'failed', 'no-webgl2'], 300000);
            if (shown.state !== 'ready') throw new Error(`the page did not get ready: ${shown.state} ${shown.error}`);
            cards.push(shown.readyAt);
            bytes.push(await page.look(`performance.getEntriesByType('resource')
                .filter((entry) => entry.responseEnd > 0 && entry.responseEnd <= ${shown.readyAt} && entry.name.includes('/data/'))
                .reduce((n, entry) => n + entry.encodedBodySize, 0)`));
            await page.touchscreen.tap(195, 700);
            await waitUntil(page, 'window.quorvane.filesInAt !== null', 300000);
            const played = await report(page);
            allIn.push(played.filesInAt - shown.readyAt);
            waits += played.waits;
            await page.context().close();
        }
        console.log(`over ${mbit} Mbit/s: start card after median ${(median(cards) / 1000).toFixed(1)} s over ${cards.length} loads `
            + `(${mb(median(bytes))} of the data's ${mb(total)} in); every file in ${(median(allIn) / 1000).toFixed(1)} s `
            + `after it while playing; ${waits} waits for files`);
    }

    console.log(`frames per second at ${kWidth}x${kHeight}, ${seconds} s from the middle of each scene:`);
    for (const [index, { start, end }] of scenes.entries()) {
        const middle = (start + end) / 2;
        const page = await openPage(browser, `${site.url}?t=${middle}&bench=${seconds}`, { width: kWidth, height: kHeight });
        const shown = await waitForState(page, ['benched', 'failed'], 120000);
        await page.context().close();
        const fps = shown.benchFrames / shown.benchSeconds;
        const renderMs = shown.renderMs / shown.benchFrames;
        console.log(`  scene ${String(index + 1).padStart(2)} at ${middle.toFixed(1).padStart(5)} s: `
            + `${fps.toFixed(1)} fps, ${renderMs.toFixed(2)} ms per frame in the render call`);
    }
} finally {
    await browser.close();
    await site.close();
}
