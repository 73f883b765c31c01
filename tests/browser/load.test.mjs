// Opening a page: decoding, the script's own sort, the first state shown.

import assert from 'node:assert/strict';
import { describe, test } from 'node:test';

import { inPageOrder, readContacts } from './support/contacts.mjs';
import { dataFile, pageSuite, visitorsContacts, visitorsInPageOrder } from './support/suite.mjs';
import { emptyFields, visit } from './support/visitor.mjs';

const suite = pageSuite();

describe('a page just opened', () => {
    test('is decoded as Windows-1252 although it declares no charset, so é shows as é', async () => {
        const page = suite.pages.write(dataFile.visitors);
        assert.equal(page.bytes.includes(Buffer.from('charset')), false);
        assert.ok(page.bytes.includes(Buffer.from('Lef\xe8vre', 'latin1')), 'the name is one byte E8 in the file');
        await visit(suite.browser, page.url, async (v) => {
            assert.equal(await v.page.evaluate(() => document.characterSet), 'windows-1252');
            assert.equal(await v.page.title(), 'Annuaire Web');
            const text = await v.page.evaluate(() => document.body.innerText);
            assert.match(text, /^Tél\.\s*$/m);
            assert.ok((await v.listNames()).includes('Lefèvre'));
            await v.choose((await v.listNames()).indexOf('Lefèvre'));
            assert.equal((await v.fields()).adresse, '12 rue des Écoles, 75005 Paris');
        });
    });

    test('lists every name in alphabetical order, letter case and accents ignored', async () => {
        const page = suite.pages.write(dataFile.visitors);
        await visit(suite.browser, page.url, async (v) => {
            assert.deepEqual(await v.listNames(), visitorsInPageOrder);
            // Each entry stands for its row of the sorted table.
            assert.deepEqual(
                await v.listValues(),
                visitorsInPageOrder.map((_, i) => String(i)),
            );
        });
    });

    test('keeps equal names in the order of their record lines', async () => {
        const page = suite.pages.write(dataFile.visitors);
        const text = page.bytes.toString('latin1');
        const toulouse = text.indexOf('"Martin","12 rue A, 31000 Toulouse"');
        const bordeaux = text.indexOf('"Martin","5 rue B, 33000 Bordeaux"');
        assert.ok(toulouse > 0 && bordeaux > 0);
        const firstAddress = toulouse < bordeaux ? '12 rue A, 31000 Toulouse' : '5 rue B, 33000 Bordeaux';
        const secondAddress = toulouse < bordeaux ? '5 rue B, 33000 Bordeaux' : '12 rue A, 31000 Toulouse';
        await visit(suite.browser, page.url, async (v) => {
            const first = (await v.listNames()).indexOf('Martin');
            await v.choose(first);
            assert.equal((await v.fields()).adresse, firstAddress);
            await v.choose(first + 1);
            assert.equal((await v.fields()).adresse, secondAddress);
        });
    });

    test('shows empty detail fields and no selected name', async () => {
        const page = suite.pages.write(dataFile.visitors);
        await visit(suite.browser, page.url, async (v) => {
            assert.deepEqual(await v.fields(), emptyFields);
            assert.equal(await v.selectedIndex(), -1);
            assert.equal(await v.page.inputValue('input[name="Recherche"]'), '');
        });
    });

    test('with twelve contacts lists all twelve, each showing its own details', async () => {
        const contacts = readContacts(dataFile.twelve);
        const page = suite.pages.write(dataFile.twelve);
        await visit(suite.browser, page.url, async (v) => {
            const expected = contacts.map((c) => c.nom).sort(inPageOrder);
            assert.deepEqual(await v.listNames(), [
                'Bernard', 'Dubois', 'Durand', 'Laurent', 'Lefebvre', 'Michel',
                'Moreau', 'Petit', 'Richard', 'Robert', 'Simon', 'Thomas',
            ]);
            assert.deepEqual(await v.listNames(), expected);
            for (const [index, name] of expected.entries()) {
                await v.choose(index);
                assert.deepEqual(await v.fields(), contacts.find((c) => c.nom === name), name);
                assert.equal(await v.selectedIndex(), index);
            }
        });
    });

    test('with zero contacts shows an empty list and empty fields', async () => {
        const page = suite.pages.write(dataFile.empty);
        await visit(suite.browser, page.url, async (v) => {
            assert.equal(await v.page.evaluate(() => document.characterSet), 'windows-1252');
            assert.deepEqual(await v.listNames(), []);
            assert.deepEqual(await v.fields(), emptyFields);
            assert.equal(await v.selectedIndex(), -1);
        });
    });

    test('with three contacts of the shared test data sorts them as the script does', async () => {
        const contacts = readContacts(dataFile.three);
        const page = suite.pages.write(dataFile.three);
        await visit(suite.browser, page.url, async (v) => {
            assert.deepEqual(await v.listNames(), ['arnaud', 'Dupont & Fils', 'Lefèvre']);
            assert.deepEqual(await v.listNames(), contacts.map((c) => c.nom).sort(inPageOrder));
        });
    });

    test('every contact of the page is listed exactly once', async () => {
        const page = suite.pages.write(dataFile.visitors);
        await visit(suite.browser, page.url, async (v) => {
            const names = visitorsContacts().map((c) => c.nom).sort(inPageOrder);
            assert.deepEqual(await v.listNames(), names);
        });
    });
});
