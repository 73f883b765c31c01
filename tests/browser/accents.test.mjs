// French names on the page: the letter links and "Go" ignore letter case and
// accents, on the page's side and on the visitor's; the list is in the
// window's alphabetical order whatever the order of the record lines.

import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { describe, test } from 'node:test';
import { pathToFileURL } from 'node:url';

import { readContacts } from './support/contacts.mjs';
import { dataFile, pageSuite } from './support/suite.mjs';
import { emptyFields, visit } from './support/visitor.mjs';

const noMatch = "Aucune entrée dans l'annuaire ne correspond à votre recherche";
const suite = pageSuite();
const contacts = readContacts(dataFile.accents);

// The window's order of these names, as the tool writes the record lines.
const windowOrder = ['Ælfric', 'Al', 'Bernard', 'bernard', 'Çelik Kebab', 'Edmond', 'Éloïse', 'Émile',
    'Étienne Marcel', 'Être et Avoir', 'Ève Durand', 'Hélène Dupré', "Œuvre d'Orient", 'Zoé'];

// The page with its record lines in reverse order, renumbered: the same
// contacts as another program might have written them.
function reversedPage(page) {
    const lines = page.bytes.toString('latin1').split('\n');
    const records = lines.slice(1, -1).reverse()
        .map((line, i) => line.replace(/^remplirTabFournisseur\(\d+,/, `remplirTabFournisseur(${i},`));
    const file = path.join(path.dirname(page.file), 'reversed.html');
    fs.writeFileSync(file, Buffer.from([lines[0], ...records, lines.at(-1)].join('\n'), 'latin1'));
    return pathToFileURL(file).href;
}

describe('accents and letter case', () => {
    test('the list is in the window\'s order whatever the order of the record lines', async () => {
        const page = suite.pages.write(dataFile.accents);
        // Byte 8C is Œ in Windows-1252; the other letters here are Latin-1's.
        const recordNames = page.bytes.toString('latin1').split('\n').slice(1, -1)
            .map((line) => line.split('"')[1].replace('\x8C', 'Œ'));
        assert.deepEqual(recordNames, windowOrder);
        for (const url of [page.url, reversedPage(page)]) {
            await visit(suite.browser, url, async (v) => {
                assert.deepEqual(await v.listNames(), windowOrder, url);
                for (const name of ['bernard', 'Émile', 'Zoé', 'Ælfric']) {
                    await v.choose(windowOrder.indexOf(name));
                    assert.deepEqual(await v.fields(), contacts.find((c) => c.nom === name), name);
                }
            });
        }
    });

    const letters = {
        A: ['Ælfric', 'Al'],
        B: ['Bernard', 'bernard'],
        C: ['Çelik Kebab'],
        E: ['Edmond', 'Éloïse', 'Émile', 'Étienne Marcel', 'Être et Avoir', 'Ève Durand'],
        H: ['Hélène Dupré'],
        O: ["Œuvre d'Orient"],
        Z: ['Zoé'],
    };
    test('a letter lists the names beginning with it, accented capitals included', async () => {
        const page = suite.pages.write(dataFile.accents);
        await visit(suite.browser, page.url, async (v) => {
            for (const [letter, names] of Object.entries(letters)) {
                await v.followLetter(letter);
                assert.deepEqual(await v.listNames(), names, letter);
                assert.deepEqual(await v.fields(), contacts.find((c) => c.nom === names[0]), letter);
            }
        });
    });

    const searches = [
        { text: 'helene', found: ['Hélène Dupré'] },
        { text: 'HELENE', found: ['Hélène Dupré'] },
        { text: 'hélène', found: ['Hélène Dupré'] },
        { text: 'HÉLÈNE', found: ['Hélène Dupré'] },
        { text: 'dupre', found: ['Hélène Dupré'] },
        { text: 'eloise', found: ['Éloïse'] },
        { text: 'oeuvre', found: ["Œuvre d'Orient"] },
        { text: 'Œuvre', found: ["Œuvre d'Orient"] },
        { text: 'aelf', found: ['Ælfric'] },
        { text: 'CELIK', found: ['Çelik Kebab'] },
        { text: 'etre', found: ['Être et Avoir'] },
        { text: 'BERNARD', found: ['Bernard', 'bernard'] },
        { text: 'zoe', found: ['Zoé'] },
        { text: 'al', found: ['Al'] },
    ];
    test('"Go" finds the names holding the text, letter case and accents ignored on both sides', async () => {
        const page = suite.pages.write(dataFile.accents);
        await visit(suite.browser, page.url, async (v) => {
            for (const { text, found } of searches) {
                await v.search(text);
                assert.deepEqual(await v.listNames(), found, text);
                assert.equal(await v.selectedIndex(), 0, text);
            }
        });
    });

    test('a name shorter than the search text never matches', async () => {
        const page = suite.pages.write(dataFile.accents);
        await visit(suite.browser, page.url, async (v) => {
            for (const text of ['Alain', 'Als', 'Zoés', 'Émile Zola']) {
                await v.search(text);
                assert.deepEqual(v.takeAlerts(), [noMatch], text);
                assert.deepEqual(await v.state(), { names: [], selectedIndex: -1, fields: emptyFields }, text);
            }
        });
    });
});
