// The web build in headless Chromium: its frames against quorvane-capture's,
// and the page's course from the start screen to the end card.
//
// usage: node WebTest.mjs SITE_DIR CAPTURE_BINARY DATA_ROOT
//   SITE_DIR        what tools/build-web wrote (build-web/site)
//   CAPTURE_BINARY  the desktop quorvane-capture, run in DATA_ROOT
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { serve, launchChromium, openPage, waitForState } from './WebSite.mjs';
import { readPng } from './Png.mjs';
import { FirefoxBidi, kEscape } from './FirefoxBidi.mjs';

const [siteDir, captureBinary, dataRoot] = process.argv.slice(2).map((p) => path.resolve(p));

// One frame in every scene, with the moments a scene changes its picture:
// the hand out of the grave, the shop assistant turned, the party's blood.
const kFrameTimes = [2.5, 18, 38, 52, 80, 104.5, 115, 150, 175, 186, 205, 240, 270, 283];
const kWidth = 640;
const kHeight = 360;
// The two software rasterizers (SwiftShader in Chromium, llvmpipe for the
// capture) filter scaled textures with slightly different rounding, so the
// edges of figures differ by a few levels, and they round the edge pixels
// of the blood drops (GL points) either way (some twenty pixels in the
// bloodiest frame). Backdrops come out identical. A figure out of place by
// even one pixel breaks the second bound many times over.
const kSmallDifference = 8; // levels of one channel, 0 ... 255
const kMostPixelsOverSmall = 0.002; // fraction of the frame
const kLargeDifference = 32;
const kMostPixelsOverLarge = 40;

let site;
let browser;
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'quorvane-web-test-'));

before(async () => {
    site = await serve(siteDir);
    browser = await launchChromium();
});

after(async () => {
    await browser?.close();
    await site?.close();
    fs.rmSync(scratch, { recursive: true, force: true });
});

async function page(query, width = 1280, height = 720) {
    return openPage(browser, site.url + query, width, height);
}

// The capture tool's frame at `time`, from a fresh process as the page is
// fresh: both draw the show's first frame at that time.
function captureFrame(time) {
    execFileSync(captureBinary, ['-q', '--size', `${kWidth}x${kHeight}`, '--time', String(time), '--out',
        path.join(scratch, 'frame_%02d.png')], { cwd: dataRoot, stdio: ['ignore', 'ignore', 'inherit'] });
    return readPng(path.join(scratch, 'frame_00.png'));
}

async function webFrame(time) {
    const tab = await page(`?t=${time}&still`, kWidth, kHeight);
    const report = await waitForState(tab, ['still', 'failed', 'no-webgl2']);
    assert.equal(report.state, 'still', report.error);
    const pixels = await tab.evaluate(() => window.quorvane.readPixels());
    assert.deepEqual(tab.errors, []);
    await tab.context().close();
    return { width: pixels.width, height: pixels.height, rgba: Buffer.from(pixels.rgba, 'base64') };
}

// Per pixel, the largest difference of its red, green and blue.
function differences(a, b) {
    const count = a.width * a.height;
    const result = new Uint8Array(count);
    for (let i = 0; i < count; ++i) {
        let d = 0;
        for (let k = 0; k < 3; ++k) d = Math.max(d, Math.abs(a.rgba[i * 4 + k] - b.rgba[i * 4 + k]));
        result[i] = d;
    }
    return result;
}

// Compares a browser's frame with the capture tool's at `time`; returns the
// largest per-pixel difference.
function expectSameFrame(browserName, time, actual) {
    const expected = captureFrame(time);
    assert.equal(actual.width, expected.width);
    assert.equal(actual.height, expected.height);
    const diff = differences(actual, expected);
    const max = diff.reduce((m, d) => Math.max(m, d), 0);
    const overSmall = diff.filter((d) => d > kSmallDifference).length;
    const overLarge = diff.filter((d) => d > kLargeDifference).length;
    console.log(`# ${browserName}, t = ${time} s: largest difference ${max}, ${overSmall} pixels over`
        + ` ${kSmallDifference}, ${overLarge} over ${kLargeDifference}`);
    assert.ok(overSmall <= kMostPixelsOverSmall * diff.length,
        `${overSmall} pixels differ by more than ${kSmallDifference}`);
    assert.ok(overLarge <= kMostPixelsOverLarge, `${overLarge} pixels differ by more than ${kLargeDifference}`);
    return max;
}

test('web frames match quorvane-capture frames of the same size', async (t) => {
    let largest = 0;
    for (const time of kFrameTimes) {
        await t.test(`t = ${time} s`, async () => {
            largest = Math.max(largest, expectSameFrame('Chromium', time, await webFrame(time)));
        });
    }
    console.log(`# largest per-pixel difference over all frames: ${largest}`);
});

test('Firefox shows the same frames, plays after a click and ends on Escape', async (t) => {
    // Headless Firefox finds no GL of its own without an X display.
    if (!process.env.DISPLAY) {
        t.skip('Firefox needs an X display for WebGL here (run under xvfb-run, as ./run-tests does)');
        return;
    }
    const firefox = await FirefoxBidi.launch();
    try {
        for (const time of [104.5, 270]) {
            await firefox.open(`${site.url}?t=${time}&still`, kWidth, kHeight);
            const report = await firefox.waitForState(['still', 'failed', 'no-webgl2']);
            assert.equal(report.state, 'still', report.error);
            const pixels = await firefox.evaluate('window.quorvane.readPixels()');
            expectSameFrame('Firefox', time, { ...pixels, rgba: Buffer.from(pixels.rgba, 'base64') });
        }
        await firefox.open(`${site.url}?t=100`, 800, 450);
        await firefox.waitForState(['ready']);
        await firefox.click(400, 225);
        await firefox.waitForState(['playing']);
        // The show runs: by the audio clock, or by the wall clock where
        // headless Firefox has no audio device.
        await firefox.evaluate('new Promise((resolve) => setTimeout(resolve, 2500))');
        const playing = await firefox.evaluate('({ state: window.quorvane.state, time: window.quorvane.showTime })');
        assert.equal(playing.state, 'playing');
        assert.ok(playing.time > 100.5, `show time ${playing.time} after 2.5 s from 100 s`);
        await firefox.press(kEscape);
        await firefox.waitForState(['ended'], 5000);
    } finally {
        await firefox.close();
    }
});

test('the page waits for a click, plays on the audio clock and ends on Escape', async () => {
    const tab = await page('');
    const ready = await waitForState(tab, ['ready', 'failed', 'no-webgl2']);
    assert.equal(ready.state, 'ready', ready.error);
    assert.match(await tab.textContent('#message'), /Click or press a key/);
    // Nothing is drawn before the click.
    await tab.waitForTimeout(300);
    assert.equal(await tab.evaluate(() => window.quorvane.frames), 0);

    await tab.mouse.click(640, 360);
    await tab.waitForFunction(() => window.quorvane.showTime > 0.5, null, { timeout: 20000 });
    const playing = await tab.evaluate(() => ({ ...window.quorvane, readPixels: null }));
    assert.equal(playing.state, 'playing');
    assert.ok(playing.clickToFirstFrameMs !== null);
    // The show's clock is the music's: the audio context's clock runs.
    const audioRuns = await tab.evaluate(async () => {
        const before = window.quorvane.showTime;
        await new Promise((resolve) => setTimeout(resolve, 400));
        return window.quorvane.showTime - before;
    });
    assert.ok(audioRuns > 0.2 && audioRuns < 1.0, `show time moved ${audioRuns} s in 0.4 s`);

    await tab.keyboard.press('Escape');
    const ended = await waitForState(tab, ['ended'], 5000);
    assert.match(await tab.textContent('#message'), /The end/);
    await tab.waitForTimeout(300);
    assert.equal(await tab.evaluate(() => window.quorvane.frames), ended.frames, 'frames drawn after the end');
    assert.deepEqual(tab.errors, []);
    await tab.context().close();
});

test('the end of the music ends the show on the end card', async () => {
    const tab = await page('?t=285.5');
    await waitForState(tab, ['ready']);
    await tab.keyboard.press('Space');
    const ended = await waitForState(tab, ['ended'], 20000);
    assert.ok(ended.showTime > 285.5);
    assert.deepEqual(tab.errors, []);
    await tab.context().close();
});

test('the canvas fills the window at the pixel density and follows resizes', async () => {
    const context = await browser.newContext({ viewport: { width: 320, height: 180 }, deviceScaleFactor: 2 });
    const tab = await context.newPage();
    await tab.goto(site.url + '?t=104.5&still');
    await waitForState(tab, ['still']);
    const size = () => tab.evaluate(() => [document.getElementById('canvas').width, document.getElementById('canvas').height]);
    assert.deepEqual(await size(), [640, 360]);
    await tab.setViewportSize({ width: 400, height: 300 });
    await tab.waitForFunction(() => document.getElementById('canvas').width === 800);
    assert.deepEqual(await size(), [800, 600]);
    // The frame is drawn again into the new drawing buffer, which starts
    // out black: the graveyard's grass fills the lower half.
    const pixels = await tab.evaluate(() => window.quorvane.readPixels());
    const rgba = Buffer.from(pixels.rgba, 'base64');
    const at = (4 * (pixels.width * Math.floor(pixels.height * 0.9) + pixels.width / 4));
    const grass = rgba.subarray(at, at + 4);
    assert.ok(grass[1] > grass[0] && grass[1] > grass[2] && grass[1] > 40, `grass pixel ${[...grass]}`);
    await context.close();
});

test('a browser without WebGL 2 is told so', async () => {
    const context = await browser.newContext({ viewport: { width: 800, height: 450 } });
    await context.addInitScript(() => {
        const getContext = HTMLCanvasElement.prototype.getContext;
        HTMLCanvasElement.prototype.getContext = function (kind, ...rest) {
            return kind === 'webgl2' ? null : getContext.call(this, kind, ...rest);
        };
    });
    const tab = await context.newPage();
    await tab.goto(site.url);
    await waitForState(tab, ['no-webgl2'], 10000);
    assert.match(await tab.textContent('#message'), /no WebGL 2/);
    await context.close();
});
