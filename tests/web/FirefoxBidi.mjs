// Drives Debian's headless firefox-esr through WebDriver BiDi, the protocol
// it speaks itself (Playwright's Firefox needs a patched build): open a page,
// evaluate script, click, press keys.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';

const require = createRequire(import.meta.url);
// Playwright carries a WebSocket client; Node 20 has none of its own.
const { ws: WebSocket } = require('playwright-core/lib/utilsBundle');

export class FirefoxBidi {
    // Starts Firefox headless in a fresh profile and opens a BiDi session.
    static async launch(executable = process.env.QUORVANE_FIREFOX || '/usr/bin/firefox-esr') {
        const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'quorvane-firefox-'));
        // Without a GPU Firefox turns WebGL off; its software rendering
        // (Mesa's llvmpipe) serves all the same.
        fs.writeFileSync(path.join(profile, 'user.js'), [
            'user_pref("webgl.force-enabled", true);',
            'user_pref("webgl.disable-fail-if-major-performance-caveat", true);',
            'user_pref("media.autoplay.blocking_policy", 0);',
            'user_pref("browser.shell.checkDefaultBrowser", false);',
            '',
        ].join('\n'));
        const child = spawn(executable, ['--headless', '--no-remote', '--profile', profile, '--remote-debugging-port=0'],
            { stdio: ['ignore', 'ignore', 'pipe'] });
        const address = await new Promise((resolve, reject) => {
            let text = '';
            const timer = setTimeout(() => reject(new Error('firefox-esr did not offer WebDriver BiDi')), 60000);
            child.stderr.on('data', (chunk) => {
                text += chunk;
                const found = /WebDriver BiDi listening on (ws:\/\/\S+)/.exec(text);
                if (found) {
                    clearTimeout(timer);
                    resolve(found[1]);
                }
            });
            child.on('exit', (code) => reject(new Error(`firefox-esr exited with ${code}: ${text}`)));
        });
        const socket = new WebSocket(address.replace(/\/$/, '') + '/session');
        await new Promise((resolve, reject) => {
            socket.once('open', resolve);
            socket.once('error', reject);
        });
        const firefox = new FirefoxBidi(child, socket, profile);
        await firefox.send('session.new', { capabilities: {} });
        const tree = await firefox.send('browsingContext.getTree', {});
        firefox.context = tree.contexts[0].context;
        return firefox;
    }

    constructor(child, socket, profile) {
        this.child = child;
        this.socket = socket;
        this.profile = profile;
        this.nextId = 1;
        this.pending = new Map();
        socket.on('message', (data) => {
            const message = JSON.parse(String(data));
            const waiting = this.pending.get(message.id);
            if (!waiting) return;
            this.pending.delete(message.id);
            if (message.type === 'error') waiting.reject(new Error(`${message.error}: ${message.message}`));
            else waiting.resolve(message.result);
        });
    }

    // One BiDi command; resolves to its result.
    send(method, params) {
        const id = this.nextId++;
        this.socket.send(JSON.stringify({ id, method, params }));
        return new Promise((resolve, reject) => this.pending.set(id, { resolve, reject }));
    }

    async open(url, width, height) {
        await this.send('browsingContext.setViewport', { context: this.context, viewport: { width, height } });
        await this.send('browsingContext.navigate', { context: this.context, url, wait: 'complete' });
    }

    // Evaluates `expression` (which may give a promise) in the page and
    // returns its value through JSON.
    async evaluate(expression) {
        const result = await this.send('script.evaluate', {
            expression: `(async () => JSON.stringify(await (${expression})) ?? "null")()`,
            target: { context: this.context },
            awaitPromise: true,
        });
        if (result.type === 'exception') throw new Error(result.exceptionDetails.text);
        return JSON.parse(result.result.value);
    }

    // Polls window.quorvane until its state is one of `states`.
    async waitForState(states, timeout = 60000) {
        const until = Date.now() + timeout;
        for (;;) {
            const report = await this.evaluate('window.quorvane ? { ...window.quorvane, readPixels: null } : null');
            if (report && states.includes(report.state)) return report;
            if (Date.now() > until) throw new Error(`firefox: state ${report && report.state}, not ${states}`);
            await new Promise((resolve) => setTimeout(resolve, 100));
        }
    }

    click(x, y) {
        return this.send('input.performActions', {
            context: this.context,
            actions: [{ type: 'pointer', id: 'mouse', actions: [{ type: 'pointerMove', x, y },
                { type: 'pointerDown', button: 0 }, { type: 'pointerUp', button: 0 }] }],
        });
    }

    // Presses one key; `key` is a character or a WebDriver key code.
    press(key) {
        return this.send('input.performActions', {
            context: this.context,
            actions: [{ type: 'key', id: 'keyboard', actions: [{ type: 'keyDown', value: key }, { type: 'keyUp', value: key }] }],
        });
    }

    async close() {
        try {
            await Promise.race([this.send('browser.close', {}), new Promise((resolve) => setTimeout(resolve, 5000))]);
        } catch {
            // Already gone.
        }
        this.socket.terminate();
        if (this.child.exitCode === null) this.child.kill();
        await new Promise((resolve) => (this.child.exitCode !== null ? resolve() : this.child.once('exit', resolve)));
        fs.rmSync(this.profile, { recursive: true, force: true });
    }
}

// WebDriver's code for the Escape key.
export const kEscape = '\uE00C';
