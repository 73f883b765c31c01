// Choosing a name in the list shows that contact in the eight detail fields.

import assert from 'node:assert/strict';
import { describe, test } from 'node:test';

import { dataFile, pageSuite, visitorsContacts, visitorsInPageOrder } from './support/suite.mjs';
import { visit } from './support/visitor.mjs';

const suite = pageSuite();

describe('choosing a name', () => {
    test('fills the eight fields from their own slots, comment and site not swapped', async () => {
        const page = suite.pages.write(dataFile.visitors);
        await visit(suite.browser, page.url, async (v) => {
            await v.choose(visitorsInPageOrder.indexOf('Lefèvre'));
            assert.deepEqual(await v.fields(), {
                nom: 'Lefèvre',
                adresse: '12 rue des Écoles, 75005 Paris',
                tel: '01 43 25 00 00',
                gsm: '06 11 22 33 44',
                fax: '01 43 25 00 01',
                mail: 'lefevre@exemple.fr',
                site: 'http://www.lefevre.example/',
                commentaire: 'Fournisseur de papier, livraison le mardi',
            });
            assert.equal(await v.selectedIndex(), visitorsInPageOrder.indexOf('Lefèvre'));
        });
    });

    test('shows, for every entry, the contact of that name and nothing of the others', async () => {
        const contacts = visitorsContacts();
        const page = suite.pages.write(dataFile.visitors);
        await visit(suite.browser, page.url, async (v) => {
            const shown = [];
            for (const [index, name] of (await v.listNames()).entries()) {
                await v.choose(index);
                const fields = await v.fields();
                assert.equal(fields.nom, name);
                shown.push(fields);
            }
            // Each contact exactly once, all eight texts intact (this also
            // tells the two contacts named Martin apart).
            const key = (c) => JSON.stringify(c);
            assert.deepEqual(shown.map(key).sort(), contacts.map(key).sort());
        });
    });

    test('replaces every field when another name is chosen, empty texts included', async () => {
        const page = suite.pages.write(dataFile.visitors);
        await visit(suite.browser, page.url, async (v) => {
            await v.choose(visitorsInPageOrder.indexOf('Lefèvre'));
            await v.choose(visitorsInPageOrder.indexOf('arnaud'));
            assert.deepEqual(await v.fields(), {
                nom: 'arnaud', adresse: '', tel: '', gsm: '', fax: '', mail: '', site: '', commentaire: '',
            });
        });
    });

    test('by keyboard in the list shows the contacts one after the other', async () => {
        const page = suite.pages.write(dataFile.visitors);
        await visit(suite.browser, page.url, async (v) => {
            await v.choose(0);
            await v.page.focus('select[name="selection"]');
            await v.page.keyboard.press('ArrowDown');
            assert.equal(await v.selectedIndex(), 1);
            assert.equal((await v.fields()).nom, visitorsInPageOrder[1]);
            assert.equal((await v.fields()).commentaire, 'Boulangerie');
        });
    });

    // No visitor action reaches this alert: the list's change handler reads
    // options[selectedIndex].value, which throws before montreMoiLesInfos is
    // called when nothing is selected. So the test calls the function itself.
    test('montreMoiLesInfos(-1) alerts "Vous devez sélectionnez un nom dans la liste" and changes nothing', async () => {
        const page = suite.pages.write(dataFile.visitors);
        await visit(suite.browser, page.url, async (v) => {
            await v.choose(visitorsInPageOrder.indexOf('Bernard'));
            const before = await v.state();
            await v.page.evaluate(() => window.montreMoiLesInfos(-1));
            assert.deepEqual(v.takeAlerts(), ['Vous devez sélectionnez un nom dans la liste']);
            assert.deepEqual(await v.state(), before);
        });
    });
});
