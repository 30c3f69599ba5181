// Figures of the web build in headless Chromium (SwiftShader): download
// size, load time, time from the click to the first frame, and frames per
// second in the middle of every scene at 1280x720. A benchmark, not a test:
// it prints figures and judges nothing.
//
// usage: node bench/web-bench.mjs [SITE_DIR] [--runs N] [--seconds S]
//   (after tools/build-web and, once, npm ci in tests/web)
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { serve, launchChromium, openPage, waitForState } from '../tests/web/WebSite.mjs';

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

function siteBytes(folder) {
    let total = 0;
    for (const entry of fs.readdirSync(folder, { withFileTypes: true })) {
        const file = path.join(folder, entry.name);
        total += entry.isDirectory() ? siteBytes(file) : fs.statSync(file).size;
    }
    return total;
}

const site = await serve(siteDir);
const browser = await launchChromium();
try {
    const mb = (bytes) => (bytes / 1e6).toFixed(1) + ' MB';
    const wasm = fs.statSync(path.join(siteDir, 'quorvane.wasm')).size;
    const list = JSON.parse(fs.readFileSync(path.join(siteDir, 'files.json'), 'utf8'));
    console.log(`download: ${mb(siteBytes(siteDir))} in all (data ${mb(list.bytes)}, wasm ${mb(wasm)})`);

    const loads = [];
    const firstFrames = [];
    let scenes = [];
    for (let run = 0; run < runs; ++run) {
        const page = await openPage(browser, site.url, kWidth, kHeight);
        const ready = await waitForState(page, ['ready', 'failed', 'no-webgl2']);
        if (ready.state !== 'ready') throw new Error(`the page did not get ready: ${ready.state} ${ready.error}`);
        scenes = ready.scenes;
        loads.push(ready.loadMs);
        await page.mouse.click(kWidth / 2, kHeight / 2);
        await page.waitForFunction(() => window.quorvane.clickToFirstFrameMs !== null);
        firstFrames.push(await page.evaluate(() => window.quorvane.clickToFirstFrameMs));
        await page.context().close();
    }
    console.log(`load to start screen: median ${median(loads).toFixed(0)} ms over ${runs} loads`);
    console.log(`click to first frame: median ${median(firstFrames).toFixed(1)} ms, largest `
        + `${Math.max(...firstFrames).toFixed(1)} ms over ${runs} clicks`);

    console.log(`frames per second at ${kWidth}x${kHeight}, ${seconds} s from the middle of each scene:`);
    for (const [index, [start, end]] of scenes.entries()) {
        const middle = (start + end) / 2;
        const page = await openPage(browser, `${site.url}?t=${middle}&bench=${seconds}`, kWidth, kHeight);
        const report = await waitForState(page, ['benched', 'failed'], 120000);
        await page.context().close();
        const fps = report.benchFrames / report.benchSeconds;
        const renderMs = report.renderMs / report.benchFrames;
        console.log(`  scene ${String(index + 1).padStart(2)} at ${middle.toFixed(1).padStart(5)} s: `
            + `${fps.toFixed(1)} fps, ${renderMs.toFixed(2)} ms per frame in the render call`);
    }
} finally {
    await browser.close();
    await site.close();
}
