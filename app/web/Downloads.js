// The site's data files, fetched a few at a time in the order the show needs
// them: each waits in one queue with a priority (lower first), which the
// page moves when the playhead jumps, so that what the show needs next
// comes first and the bandwidth is not shared among files needed later.
// Owns: the queue and the fetches, with the bytes each has received. Reads:
// the network. Never touches: the module, the page's elements.

// Large files come one at a time, so that the one needed first has the
// whole link; a second starts beside it only when it is needed sooner (a
// seek). Files smaller than kSmallBytes, whose time is the link's latency
// more than its speed, come kSmallAtOnce at a time beside them.
const kLargeAtOnce = 2;
const kSmallAtOnce = 6;
const kSmallBytes = 32768;

export class Downloads {
    constructor() {
        this.waiting = []; // { url, priority, small, resolve }
        this.large = []; // the large files on their way
        this.runningSmall = 0;
        this.received = {}; // bytes by address
        this.pumping = false;
    }

    // The bytes at `url` (`size` bytes long), or null when they cannot be
    // downloaded (the reason goes to the console), fetched after every file
    // of a lower `priority`.
    fetch(url, size, priority) {
        return new Promise((resolve) => {
            this.waiting.push({ url, priority, small: size < kSmallBytes, resolve });
            this.pumpSoon();
        });
    }

    // Gives each file still waiting or on its way the priority
    // `priorityOf(url)`.
    reorder(priorityOf) {
        for (const file of [...this.waiting, ...this.large]) file.priority = priorityOf(file.url);
        this.pumpSoon();
    }

    // Pumps once the files asked for together are all in the queue.
    pumpSoon() {
        if (this.pumping) return;
        this.pumping = true;
        queueMicrotask(() => {
            this.pumping = false;
            this.pump();
        });
    }

    // Starts what may start, in priority order; nothing starts after a large
    // file that must wait.
    pump() {
        const order = [...this.waiting].sort((a, b) => a.priority - b.priority);
        for (const file of order) {
            if (file.small) {
                if (this.runningSmall < kSmallAtOnce) this.start(file);
                continue;
            }
            const sooner = this.large.every((other) => file.priority < other.priority);
            if (this.large.length === 0 || (this.large.length < kLargeAtOnce && sooner)) this.start(file);
            else break;
        }
    }

    start(file) {
        this.waiting.splice(this.waiting.indexOf(file), 1);
        if (file.small) this.runningSmall += 1;
        else this.large.push(file);
        this.received[file.url] = 0;
        fetchFile(file.url, (n) => (this.received[file.url] += n)).then((bytes) => {
            if (file.small) this.runningSmall -= 1;
            else this.large.splice(this.large.indexOf(file), 1);
            file.resolve(bytes);
            this.pump();
        });
    }
}

export function describe(response) {
    return `${response.status}${response.statusText ? ' ' + response.statusText : ''}`;
}

// The bytes at `url`, or null when they cannot be downloaded (the reason
// goes to the console); `onBytes(n)` hears each piece as it arrives.
export async function fetchFile(url, onBytes) {
    try {
        const response = await fetch(url);
        if (!response.ok) {
            console.warn(`quorvane: ${url}: ${describe(response)}`);
            return null;
        }
        const chunks = [];
        const reader = response.body.getReader();
        for (;;) {
            const { done, value } = await reader.read();
            if (done) break;
            chunks.push(value);
            onBytes(value.length);
        }
        const bytes = new Uint8Array(chunks.reduce((n, c) => n + c.length, 0));
        let at = 0;
        for (const chunk of chunks) {
            bytes.set(chunk, at);
            at += chunk.length;
        }
        return bytes;
    } catch (error) {
        console.warn(`quorvane: ${url}: ${error.message || error}`);
        return null;
    }
}
