// Serves build-web/site over HTTP and drives it in headless Chromium: the
// pieces the web tests and the web benchmark share.
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';
import { chromium } from 'playwright-core';

const kTypes = {
    '.html': 'text/html; charset=utf-8',
    '.js': 'text/javascript; charset=utf-8',
    '.css': 'text/css; charset=utf-8',
    '.json': 'application/json',
    '.wasm': 'application/wasm',
    '.png': 'image/png',
    '.ogg': 'audio/ogg',
};

// Starts a static file server for `root` on a free port; resolves to
// { url, close() }.
export function serve(root) {
    const server = http.createServer((request, response) => {
        const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
        const file = path.join(root, name === '/' ? 'index.html' : name);
        if (!file.startsWith(root) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
            response.writeHead(404);
            response.end();
            return;
        }
        response.writeHead(200, {
            'Content-Type': kTypes[path.extname(file)] || 'application/octet-stream',
            'Content-Length': fs.statSync(file).size,
        });
        fs.createReadStream(file).pipe(response);
    });
    return new Promise((resolve) => {
        server.listen(0, '127.0.0.1', () => {
            resolve({
                url: `http://127.0.0.1:${server.address().port}/`,
                close: () => new Promise((done) => server.close(done)),
            });
        });
    });
}

// Headless Chromium with WebGL 2 on the SwiftShader software rasterizer,
// in a fresh profile of its own (Playwright makes one per launch), with the
// browser's own rule for sound: it starts only after a viewer's gesture.
export async function launchChromium() {
    const args = [
        '--headless=new',
        '--use-angle=swiftshader',
        '--enable-unsafe-swiftshader',
        '--disable-background-networking',
        '--disable-component-update',
        '--disable-sync',
        '--no-first-run',
    ];
    if (process.getuid && process.getuid() === 0) args.push('--no-sandbox');
    return chromium.launch({
        executablePath: process.env.QUORVANE_CHROMIUM || '/usr/bin/chromium',
        args,
        headless: true,
    });
}

// A phone as the web tests hold it: portrait, three device pixels to a CSS
// pixel, touch.
export const kPhone = { viewport: { width: 390, height: 844 }, deviceScaleFactor: 3, hasTouch: true, isMobile: true };

// Opens `url` in a new page of `width` x `height` CSS pixels at pixel ratio
// 1, or as `device` describes (Playwright's context options); `setup` (a
// function, or a function and its argument) runs in the page before its own
// scripts; the site answers 404 for the file `missing`, and `files` (by
// path: { 'data/captions.vtt': text }) in place of its own; the file `held`
// comes only after page.release() is called; with `link`
// ({ mbit, latencyMs }) the browser's network throttling holds every download
// to that speed (DevTools' Network.emulateNetworkConditions). Console errors and
// uncaught ones are collected into page.errors.
//
// Read the page through page.look, never Playwright's evaluate or
// waitForFunction: those run as a user gesture and would let the page start
// its sound without one.
export async function openPage(browser, url, { width = 1280, height = 720, device = null, setup = null, missing = null, files = {}, held = null, link = null } = {}) {
    const context = await browser.newContext(device || { viewport: { width, height }, deviceScaleFactor: 1 });
    if (setup) await context.addInitScript(...[setup].flat());
    if (missing) await context.route((address) => address.pathname === `/${missing}`, (route) => route.fulfill({ status: 404 }));
    for (const [file, body] of Object.entries(files))
        await context.route((address) => address.pathname === `/${file}`, (route) => route.fulfill({ status: 200, body }));
    let release = () => {};
    if (held) {
        const released = new Promise((resolve) => (release = resolve));
        await context.route((address) => address.pathname === `/${held}`, async (route) => {
            await released;
            await route.continue().catch(() => {});
        });
    }
    const page = await context.newPage();
    page.release = release;
    page.errors = [];
    page.on('console', (message) => {
        if (message.type() === 'error') page.errors.push(message.text());
    });
    page.on('pageerror', (error) => page.errors.push(String(error)));
    const session = await context.newCDPSession(page);
    // The value of `expression` in the page (awaited), through DevTools'
    // Runtime.evaluate without a user gesture.
    page.look = async (expression) => {
        const answer = await session.send('Runtime.evaluate', { expression, returnByValue: true, awaitPromise: true });
        if (answer.exceptionDetails)
            throw new Error(`${expression}: ${answer.exceptionDetails.exception?.description || answer.exceptionDetails.text}`);
        return answer.result.value;
    };
    page.cdp = session;
    if (link) {
        const bytesPerSecond = (link.mbit * 1e6) / 8;
        await session.send('Network.enable');
        await session.send('Network.emulateNetworkConditions', { offline: false, latency: link.latencyMs,
            downloadThroughput: bytesPerSecond, uploadThroughput: bytesPerSecond });
    }
    await page.goto(url);
    return page;
}

// Polls `expression` in the page (through page.look) until it is true.
export async function waitUntil(page, expression, timeout = 60000) {
    const until = Date.now() + timeout;
    while (!(await page.look(expression))) {
        if (Date.now() > until) throw new Error(`timed out after ${timeout} ms waiting for ${expression}`);
        await new Promise((resolve) => setTimeout(resolve, 50));
    }
}

// The page's report (window.quorvane) once its state is one of `states`.
export async function waitForState(page, states, timeout = 60000) {
    await waitUntil(page, `window.quorvane && ${JSON.stringify(states)}.includes(window.quorvane.state)`, timeout);
    return report(page);
}

export function report(page) {
    return page.look('({ ...window.quorvane })');
}
