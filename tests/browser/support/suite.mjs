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
    accents: path.join(browserDataDir, 'contacts_accents.tsv'),
};

// contacts_visitors.tsv as the page lists it after its own sort: letter case
// and accents ignored (ÉCOLE and Émile among the E's), "Bernard" before
// "bernard immobilier".
export const visitorsInPageOrder = [
    'arnaud',
    'Au Bon Pain',
    'Bernard',
    'bernard immobilier',
    'Dupont & Fils',
    'ÉCOLE des Arts',
    'Émile Zola',
    'Lefèvre',
    'Martin',
    'Martin',
    'martine',
    'Ménard',
    "O'Neil",
    'Site espace',
    'zèbre Transports',
    'Zoé Martin',
];

export function visitorsContacts() {
    return readContacts(dataFile.visitors);
}
