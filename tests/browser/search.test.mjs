// "Go", the letter links and ".:: Afficher tous ::.".

import assert from 'node:assert/strict';
import { describe, test } from 'node:test';
import { isDeepStrictEqual } from 'node:util';

import { dataFile, pageSuite, visitorsContacts, visitorsInPageOrder } from './support/suite.mjs';
import { emptyFields, visit } from './support/visitor.mjs';

const noMatch = "Aucune entrée dans l'annuaire ne correspond à votre recherche";
const emptySearch = 'Entrez un mot dans la zone de recherche';

const suite = pageSuite();

// The list entries a search should leave: names in page order, each with the
// row it stands for.
function entries(...names) {
    const taken = new Set();
    return names.map((name) => {
        const row = visitorsInPageOrder.findIndex((n, i) => n === name && !taken.has(i));
        taken.add(row);
        return { name, row: String(row) };
    });
}

async function listEntries(v) {
    const names = await v.listNames();
    const values = await v.listValues();
    return names.map((name, i) => ({ name, row: values[i] }));
}

function contactNamed(name) {
    return visitorsContacts().find((c) => c.nom === name);
}

describe('"Go"', () => {
    const cases = [
        { text: 'mar', found: ['Martin', 'Martin', 'martine', 'Zoé Martin'] },
        { text: 'MAR', found: ['Martin', 'Martin', 'martine', 'Zoé Martin'] },
        { text: 'bErNaRd', found: ['Bernard', 'bernard immobilier'] },
        { text: 'é', found: ['Bernard', 'bernard immobilier', 'ÉCOLE des Arts', 'Émile Zola', 'Lefèvre', 'martine',
            'Ménard', "O'Neil", 'Site espace', 'zèbre Transports', 'Zoé Martin'] },
        { text: 'ÉMILE', found: ['Émile Zola'] },
        { text: 'école', found: ['ÉCOLE des Arts'] },
        { text: 'ecole', found: ['ÉCOLE des Arts'] },
        { text: 'lefevre', found: ['Lefèvre'] },
        { text: 'LEFÈVRE', found: ['Lefèvre'] },
        { text: '&', found: ['Dupont & Fils'] },
        { text: "'", found: ["O'Neil"] },
        { text: 'n', found: ['arnaud', 'Au Bon Pain', 'Bernard', 'bernard immobilier', 'Dupont & Fils', 'Martin', 'Martin',
            'martine', 'Ménard', "O'Neil", 'zèbre Transports', 'Zoé Martin'] },
        { text: 'Zola', found: ['Émile Zola'] },
        { text: 'Au Bon Pain', found: ['Au Bon Pain'] },
    ];
    for (const { text, found } of cases) {
        test(`"${text}" lists every name holding it whatever the case, showing and selecting the first`, async () => {
            const page = suite.pages.write(dataFile.visitors);
            await visit(suite.browser, page.url, async (v) => {
                await v.search(text);
                assert.deepEqual(await listEntries(v), entries(...found));
                assert.equal(await v.selectedIndex(), 0);
                // The first match in full (for "Martin", one of the two: the
                // next test tells which).
                const shown = await v.fields();
                const candidates = visitorsContacts().filter((c) => c.nom === found[0]);
                assert.ok(candidates.some((c) => isDeepStrictEqual(c, shown)), JSON.stringify(shown));
            });
        });
    }

    test('first match among equal names is the first of them in the list', async () => {
        const page = suite.pages.write(dataFile.visitors);
        await visit(suite.browser, page.url, async (v) => {
            await v.showAll();
            const firstMartin = visitorsInPageOrder.indexOf('Martin');
            await v.choose(firstMartin);
            const expected = await v.fields();
            await v.search('martin');
            assert.deepEqual(await v.fields(), expected);
        });
    });

    const misses = [
        { text: 'lefevres', why: 'a text longer than the name it begins' },
        { text: 'Au Bon Pain de Dijon', why: 'a text longer than every name' },
        { text: 'xyz', why: 'in no name' },
        { text: 'Lefèvre ', why: 'a trailing space' },
    ];
    for (const { text, why } of misses) {
        test(`"${text}" (${why}) alerts no match, then empties the list and the fields`, async () => {
            const page = suite.pages.write(dataFile.visitors);
            await visit(suite.browser, page.url, async (v) => {
                await v.choose(visitorsInPageOrder.indexOf('Lefèvre'));
                await v.search(text);
                assert.deepEqual(v.takeAlerts(), [noMatch]);
                assert.deepEqual(await v.state(), { names: [], selectedIndex: -1, fields: emptyFields });
            });
        });
    }

    test('with an empty search field alerts "Entrez un mot dans la zone de recherche" and changes nothing', async () => {
        const page = suite.pages.write(dataFile.visitors);
        await visit(suite.browser, page.url, async (v) => {
            await v.choose(visitorsInPageOrder.indexOf('Dupont & Fils'));
            const before = await v.state();
            await v.search('');
            assert.deepEqual(v.takeAlerts(), [emptySearch]);
            assert.deepEqual(await v.state(), before);

            await v.search('mar');
            const afterSearch = await v.state();
            await v.search('');
            assert.deepEqual(v.takeAlerts(), [emptySearch]);
            assert.deepEqual(await v.state(), afterSearch);
        });
    });
});

describe('letter links', () => {
    const expected = {
        A: ['arnaud', 'Au Bon Pain'],
        B: ['Bernard', 'bernard immobilier'],
        D: ['Dupont & Fils'],
        E: ['ÉCOLE des Arts', 'Émile Zola'],
        L: ['Lefèvre'],
        M: ['Martin', 'Martin', 'martine', 'Ménard'],
        O: ["O'Neil"],
        S: ['Site espace'],
        Z: ['zèbre Transports', 'Zoé Martin'],
    };

    test('each letter lists the names beginning with it, letter case and accents ignored', async () => {
        const page = suite.pages.write(dataFile.visitors);
        await visit(suite.browser, page.url, async (v) => {
            const listed = new Set();
            for (const letter of 'ABCDEFGHIJKLMNOPQRSTUVWXYZ') {
                await v.followLetter(letter);
                const found = expected[letter];
                if (found) {
                    assert.deepEqual(v.takeAlerts(), [], letter);
                    assert.deepEqual(await listEntries(v), entries(...found), letter);
                    assert.equal(await v.selectedIndex(), 0, letter);
                    assert.equal((await v.fields()).nom, found[0], letter);
                    found.forEach((name) => listed.add(name));
                } else {
                    assert.deepEqual(v.takeAlerts(), [noMatch], letter);
                    assert.deepEqual(await v.state(), { names: [], selectedIndex: -1, fields: emptyFields }, letter);
                }
            }
            assert.deepEqual(visitorsInPageOrder.filter((name) => !listed.has(name)), []);
        });
    });

    test('a letter shows the first name beginning with it in full', async () => {
        const page = suite.pages.write(dataFile.visitors);
        await visit(suite.browser, page.url, async (v) => {
            await v.followLetter('Z');
            assert.deepEqual(await v.fields(), contactNamed('zèbre Transports'));
            await v.followLetter('L');
            assert.deepEqual(await v.fields(), contactNamed('Lefèvre'));
        });
    });
});

describe('".:: Afficher tous ::."', () => {
    test('brings every name back with empty fields and no selection, after a search or a miss', async () => {
        const page = suite.pages.write(dataFile.visitors);
        await visit(suite.browser, page.url, async (v) => {
            const all = { names: visitorsInPageOrder, selectedIndex: -1, fields: emptyFields };
            await v.search('mar');
            await v.showAll();
            assert.deepEqual(await v.state(), all);
            assert.deepEqual(await v.listValues(), visitorsInPageOrder.map((_, i) => String(i)));

            await v.search('xyz');
            assert.deepEqual(v.takeAlerts(), [noMatch]);
            await v.showAll();
            assert.deepEqual(await v.state(), all);

            await v.choose(3);
            await v.showAll();
            assert.deepEqual(await v.state(), all);
        });
    });
});

describe('a page of zero contacts', () => {
    test('alerts no match for any search and any letter, and shows all as an empty list', async () => {
        const page = suite.pages.write(dataFile.empty);
        await visit(suite.browser, page.url, async (v) => {
            const nothing = { names: [], selectedIndex: -1, fields: emptyFields };
            for (const text of ['a', 'Martin', 'é', ' ']) {
                await v.search(text);
                assert.deepEqual(v.takeAlerts(), [noMatch], text);
                assert.deepEqual(await v.state(), nothing);
            }
            await v.search('');
            assert.deepEqual(v.takeAlerts(), [emptySearch]);
            for (const letter of ['A', 'M', 'Z']) {
                await v.followLetter(letter);
                assert.deepEqual(v.takeAlerts(), [noMatch], letter);
            }
            await v.showAll();
            assert.deepEqual(await v.state(), nothing);
        });
    });
});
