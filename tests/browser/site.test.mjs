// "Aller" takes the visitor to the chosen contact's site.

import assert from 'node:assert/strict';
import { describe, test } from 'node:test';

import { dataFile, pageSuite, visitorsInPageOrder } from './support/suite.mjs';
import { visit } from './support/visitor.mjs';

const noSite = 'Aucun site enregistré pour ce nom';

const suite = pageSuite();

// Chooses a name, presses "Aller" and returns the address the window went to.
async function followSite(browser, v, name) {
    await v.choose(visitorsInPageOrder.indexOf(name));
    const site = (await v.fields()).site;
    const requested = browser.outsideRequests.length;
    await Promise.all([v.page.waitForURL((url) => url.protocol !== 'file:'), v.goToSite()]);
    assert.deepEqual(browser.outsideRequests.slice(requested), [v.page.url()]);
    return { site, url: v.page.url() };
}

describe('"Aller"', () => {
    test('goes to the site of the chosen contact, not to its comment', async () => {
        const page = suite.pages.write(dataFile.visitors);
        await visit(suite.browser, page.url, async (v) => {
            const { site, url } = await followSite(suite.browser, v, 'Lefèvre');
            assert.equal(site, 'http://www.lefevre.example/');
            assert.equal(url, 'http://www.lefevre.example/');
        });
    });

    test('keeps the query of the address whole, & included', async () => {
        const page = suite.pages.write(dataFile.visitors);
        await visit(suite.browser, page.url, async (v) => {
            const { url } = await followSite(suite.browser, v, 'Bernard');
            assert.equal(url, 'https://bernard.example/annuaire?nom=Bernard&ville=Paris');
        });
    });

    test('goes to the site of the first match after a search', async () => {
        const page = suite.pages.write(dataFile.visitors);
        await visit(suite.browser, page.url, async (v) => {
            await v.search('zola');
            await Promise.all([v.page.waitForURL('http://zola.example/'), v.goToSite()]);
        });
    });

    const without = [
        { name: 'arnaud', why: 'an empty site' },
        { name: 'Site espace', why: 'a site of one space' },
        { name: 'Zoé Martin', why: 'an empty site' },
    ];
    for (const { name, why } of without) {
        test(`for "${name}" (${why}) alerts "${noSite}" and stays`, async () => {
            const page = suite.pages.write(dataFile.visitors);
            await visit(suite.browser, page.url, async (v) => {
                await v.choose(visitorsInPageOrder.indexOf(name));
                const before = await v.state();
                const requested = suite.browser.outsideRequests.length;
                await v.goToSite();
                assert.deepEqual(v.takeAlerts(), [noSite]);
                assert.equal(v.page.url(), page.url);
                assert.equal(suite.browser.outsideRequests.length, requested);
                assert.deepEqual(await v.state(), before);
            });
        });
    }

    test(`with nothing chosen alerts "${noSite}"`, async () => {
        for (const file of [dataFile.visitors, dataFile.empty]) {
            const page = suite.pages.write(file);
            await visit(suite.browser, page.url, async (v) => {
                await v.goToSite();
                assert.deepEqual(v.takeAlerts(), [noSite]);
                assert.equal(v.page.url(), page.url);
            });
        }
    });
});
