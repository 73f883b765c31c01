// Per test file: one Chromium with a fresh profile and one folder of pages,
// both removed when the file's tests are done.

import { after, before } from 'node:test';
import path from 'node:path';

import { startBrowser } from './browser.mjs';
import { browserDataDir, pageFolder, readContacts, sharedDataDir } from './contacts.mjs';

export function pageSuite() {
    const suite = {};
    before(async () => {
        suite.pages = pageFolder();
        suite.browser = await startBrowser();
    });
    after(async () => {
        await suite.browser?.close();
        suite.pages?.remove();
    });
    return suite;
}

export const dataFile = {
    visitors: path.join(browserDataDir, 'contacts_visitors.tsv'),
    hostile: path.join(browserDataDir, 'contacts_hostile.tsv'),
    three: path.join(sharedDataDir, 'contacts_three.tsv'),
    twelve: path.join(sharedDataDir, 'contacts_twelve.tsv'),
    empty: path.join(sharedDataDir, 'contacts_empty.tsv'),
};

// contacts_visitors.tsv as the page lists it after its own sort: capitals
// first, then small letters, then names that begin with an accented capital
// (JavaScript compares strings by UTF-16 code units). The tool's list orders
// them otherwise ("arnaud" first), so the page's sort really has work to do.
export const visitorsInPageOrder = [
    'Au Bon Pain',
    'Bernard',
    'Dupont & Fils',
    'Lefèvre',
    'Martin',
    'Martin',
    'Ménard',
    "O'Neil",
    'Site espace',
    'Zoé Martin',
    'arnaud',
    'bernard immobilier',
    'martine',
    'zèbre Transports',
    'ÉCOLE des Arts',
    'Émile Zola',
];

export function visitorsContacts() {
    return readContacts(dataFile.visitors);
}
