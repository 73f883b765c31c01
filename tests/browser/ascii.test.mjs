// A page written with --ascii, served by a host that announces UTF-8 (as most
// static hosts do), shows the visitor exactly what the usual page shows when
// read as Windows-1252: the fixed texts' accents, the contacts', the alerts'.

import assert from 'node:assert/strict';
import { describe, test } from 'node:test';

import { dataFile, pageSuite, visitorsInPageOrder } from './support/suite.mjs';
import { visit } from './support/visitor.mjs';

const suite = pageSuite();

// What the visitor sees: the page's text, the list, a chosen contact's card,
// and the alert of a search that finds nothing.
async function seen(url) {
    let view;
    await visit(suite.browser, url, async (v) => {
        await v.choose(visitorsInPageOrder.indexOf('Ménard'));
        view = { text: await v.page.innerText('body'), state: await v.state() };
        await v.search('introuvable');
        view.alerts = v.takeAlerts();
        // The script's letters beyond ASCII are \uXXXX here: it must fold them the same.
        await v.followLetter('E');
        view.letterE = await v.listNames();
        await v.search('MENARD');
        view.menard = await v.listNames();
    });
    return view;
}

describe('--ascii', () => {
    test('served as UTF-8, shows what the usual page shows as Windows-1252', async () => {
        const usual = suite.pages.write(dataFile.visitors);
        const ascii = suite.pages.write(dataFile.visitors, { name: 'ascii.html', options: ['--ascii'] });
        assert.ok(ascii.bytes.every((byte) => byte < 0x80), 'a byte beyond ASCII');
        await suite.browser.context.route('http://utf8.example/**', (route) =>
            route.fulfill({ status: 200, contentType: 'text/html; charset=utf-8', body: ascii.bytes }),
        );
        const expected = await seen(usual.url);
        assert.match(expected.text, /Tél\./);
        assert.deepEqual(expected.alerts, ["Aucune entrée dans l'annuaire ne correspond à votre recherche"]);
        assert.deepEqual(expected.letterE, ['ÉCOLE des Arts', 'Émile Zola']);
        assert.deepEqual(expected.menard, ['Ménard']);
        assert.deepEqual(await seen('http://utf8.example/annuaire.html'), expected);
    });
});
