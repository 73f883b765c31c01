// Makes docs/page-screenshot.png: a directory page in Chromium with a contact
// chosen. Not a test; run it again when the page's look changes:
//   FICHELIA_PAGE_TOOL=build/tools/fichelia-page/fichelia-page node tests/browser/screenshot.mjs

import path from 'node:path';
import { fileURLToPath } from 'node:url';

import { startBrowser } from './support/browser.mjs';
import { pageFolder } from './support/contacts.mjs';
import { dataFile, visitorsInPageOrder } from './support/suite.mjs';
import { Visitor } from './support/visitor.mjs';

const output = path.join(path.dirname(fileURLToPath(import.meta.url)), '..', '..', 'docs', 'page-screenshot.png');

const pages = pageFolder();
const browser = await startBrowser({ viewport: { width: 820, height: 440 } });
try {
    const visitor = new Visitor(await browser.context.newPage());
    await visitor.open(pages.write(dataFile.visitors).url);
    await visitor.choose(visitorsInPageOrder.indexOf('Lefèvre'));
    if (visitor.errors.length > 0) {
        throw new Error(visitor.errors.join('\n'));
    }
    await visitor.page.screenshot({ path: output, fullPage: true });
    console.log(`written: ${output}`);
} finally {
    await browser.close();
    pages.remove();
}
