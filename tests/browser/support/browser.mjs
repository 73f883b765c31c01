// The system's Chromium, driven by playwright-core. No browser is downloaded:
// the executable is Debian's, and the flags keep it from reaching for the
// network at start (without them it stalls on its own connections here).

import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

import { chromium } from 'playwright-core';

export const chromiumPath = process.env.FICHELIA_CHROMIUM || '/usr/bin/chromium';

export const chromiumArgs = [
    '--headless',
    '--no-sandbox',
    '--disable-gpu',
    '--disable-quic',
    '--no-first-run',
    '--disable-background-networking',
    '--disable-component-update',
    '--disable-sync',
];

// A browser with a fresh profile folder, removed again by close(). Every
// request that is not for a local file is answered with a blank page and
// recorded, so "Aller" can be followed without any network.
export async function startBrowser({ viewport = { width: 1000, height: 700 } } = {}) {
    if (!fs.existsSync(chromiumPath)) {
        throw new Error(`Chromium not found at ${chromiumPath} (scripts/install-deps.sh --test installs it)`);
    }
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'fichelia-chromium-'));
    const context = await chromium.launchPersistentContext(profile, {
        executablePath: chromiumPath,
        headless: true,
        args: chromiumArgs,
        viewport,
    });
    const outsideRequests = [];
    await context.route(
        (url) => url.protocol !== 'file:',
        (route) => {
            outsideRequests.push(route.request().url());
            return route.fulfill({ status: 200, contentType: 'text/html', body: '<p>site</p>' });
        },
    );
    return {
        context,
        outsideRequests,
        async close() {
            try {
                await context.close();
            } finally {
                fs.rmSync(profile, { recursive: true, force: true });
            }
        },
    };
}
