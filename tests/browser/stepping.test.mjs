// The buttons "  >>  " and "  <<  " step through the list.

import assert from 'node:assert/strict';
import { describe, test } from 'node:test';

import { dataFile, pageSuite, visitorsContacts, visitorsInPageOrder } from './support/suite.mjs';
import { emptyFields, visit } from './support/visitor.mjs';

const suite = pageSuite();

function contactNamed(name) {
    return visitorsContacts().find((c) => c.nom === name);
}

describe('"  >>  " and "  <<  "', () => {
    test('"  <<  " with nothing selected does nothing', async () => {
        const page = suite.pages.write(dataFile.visitors);
        await visit(suite.browser, page.url, async (v) => {
            await v.previous();
            assert.equal(await v.selectedIndex(), -1);
            assert.deepEqual(await v.fields(), emptyFields);
        });
    });

    test('"  >>  " with nothing selected takes the first name', async () => {
        const page = suite.pages.write(dataFile.visitors);
        await visit(suite.browser, page.url, async (v) => {
            await v.next();
            assert.equal(await v.selectedIndex(), 0);
            assert.deepEqual(await v.fields(), contactNamed('arnaud'));
        });
    });

    test('step through the whole list, showing each name, and stop at both ends', async () => {
        const page = suite.pages.write(dataFile.visitors);
        const last = visitorsInPageOrder.length - 1;
        await visit(suite.browser, page.url, async (v) => {
            for (let i = 0; i <= last; ++i) {
                await v.next();
                assert.equal(await v.selectedIndex(), i);
                assert.equal((await v.fields()).nom, visitorsInPageOrder[i]);
            }
            assert.deepEqual(await v.fields(), contactNamed('Zoé Martin'));
            await v.next();
            assert.equal(await v.selectedIndex(), last, '"  >>  " stops at the last name');
            assert.deepEqual(await v.fields(), contactNamed('Zoé Martin'));

            for (let i = last - 1; i >= 0; --i) {
                await v.previous();
                assert.equal(await v.selectedIndex(), i);
                assert.equal((await v.fields()).nom, visitorsInPageOrder[i]);
            }
            await v.previous();
            assert.equal(await v.selectedIndex(), 0, '"  <<  " stops at the first name');
            assert.deepEqual(await v.fields(), contactNamed('arnaud'));
        });
    });

    test('after a search step through the matches only, showing each match', async () => {
        const page = suite.pages.write(dataFile.visitors);
        await visit(suite.browser, page.url, async (v) => {
            await v.search('b');
            const matches = ['Au Bon Pain', 'Bernard', 'bernard immobilier', 'zèbre Transports'];
            assert.deepEqual(await v.listNames(), matches);
            assert.deepEqual(await v.fields(), contactNamed(matches[0]));
            for (let i = 1; i < matches.length; ++i) {
                await v.next();
                assert.equal(await v.selectedIndex(), i);
                assert.deepEqual(await v.fields(), contactNamed(matches[i]));
            }
            await v.next();
            assert.equal(await v.selectedIndex(), matches.length - 1);
            assert.deepEqual(await v.fields(), contactNamed('zèbre Transports'));
            await v.previous();
            assert.deepEqual(await v.fields(), contactNamed('bernard immobilier'));
        });
    });

    test('after a letter link step from the chosen name to its neighbours', async () => {
        const page = suite.pages.write(dataFile.visitors);
        await visit(suite.browser, page.url, async (v) => {
            await v.followLetter('M');
            await v.choose(2);
            assert.equal((await v.fields()).nom, 'martine');
            await v.next();
            assert.deepEqual(await v.fields(), contactNamed('Ménard'));
            await v.previous();
            await v.previous();
            assert.equal((await v.fields()).nom, 'Martin');
            assert.equal(await v.selectedIndex(), 1);
        });
    });

    test('on an empty list neither button does anything', async () => {
        for (const file of [dataFile.empty, dataFile.visitors]) {
            const page = suite.pages.write(file);
            await visit(suite.browser, page.url, async (v) => {
                if (file === dataFile.visitors) {
                    await v.search('xyz'); // a miss empties the list
                    v.takeAlerts();
                }
                await v.next();
                await v.previous();
                assert.deepEqual(await v.state(), { names: [], selectedIndex: -1, fields: emptyFields });
            });
        }
    });
});
