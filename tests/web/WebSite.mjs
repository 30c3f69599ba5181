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
// in a fresh profile of its own (Playwright makes one per launch).
export async function launchChromium() {
    const args = [
        '--headless=new',
        '--use-angle=swiftshader',
        '--enable-unsafe-swiftshader',
        '--disable-background-networking',
        '--disable-component-update',
        '--disable-sync',
        '--no-first-run',
        '--autoplay-policy=user-gesture-required',
    ];
    if (process.getuid && process.getuid() === 0) args.push('--no-sandbox');
    return chromium.launch({
        executablePath: process.env.QUORVANE_CHROMIUM || '/usr/bin/chromium',
        args,
        headless: true,
    });
}

// Opens `url` in a new page of `width` x `height` CSS pixels at pixel ratio
// 1; console errors are collected into page.errors.
export async function openPage(browser, url, width, height) {
    const context = await browser.newContext({ viewport: { width, height }, deviceScaleFactor: 1 });
    const page = await context.newPage();
    page.errors = [];
    page.on('console', (message) => {
        if (message.type() === 'error') page.errors.push(message.text());
    });
    page.on('pageerror', (error) => page.errors.push(String(error)));
    await page.goto(url);
    return page;
}

// Waits until the page's report says one of `states`; returns the report.
export async function waitForState(page, states, timeout = 60000) {
    await page.waitForFunction((wanted) => window.quorvane && wanted.includes(window.quorvane.state), states, {
        timeout,
        polling: 50,
    });
    return page.evaluate(() => {
        const { readPixels, ...plain } = window.quorvane;
        return plain;
    });
}
