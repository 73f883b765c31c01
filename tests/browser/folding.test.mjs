// Every letter the page folds, one name each: "Go" finds the name by its plain
// spelling, and a letter link lists exactly the names whose folded form begins
// with it (a name with no letter under none).

import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { describe, test } from 'node:test';

import { foldedName, inPageOrder } from './support/contacts.mjs';
import { pageSuite } from './support/suite.mjs';
import { visit } from './support/visitor.mjs';

const suite = pageSuite();

// Windows-1252's letters with accents, small and capital, and how a visitor
// types them without accents; then accents typed apart (combining marks, as
// some systems write names), the first and last of their block included.
const folds = [
    ['ª', 'a'], ['º', 'o'], ['ß', 'ss'], ['à', 'a'], ['á', 'a'], ['â', 'a'], ['ã', 'a'], ['ä', 'a'], ['å', 'a'],
    ['æ', 'ae'], ['ç', 'c'], ['è', 'e'], ['é', 'e'], ['ê', 'e'], ['ë', 'e'], ['ì', 'i'], ['í', 'i'], ['î', 'i'],
    ['ï', 'i'], ['ñ', 'n'], ['ò', 'o'], ['ó', 'o'], ['ô', 'o'], ['õ', 'o'], ['ö', 'o'], ['ø', 'o'], ['ù', 'u'],
    ['ú', 'u'], ['û', 'u'], ['ü', 'u'], ['ý', 'y'], ['ÿ', 'y'], ['œ', 'oe'], ['š', 's'], ['ž', 'z'],
    ['À', 'a'], ['Á', 'a'], ['Â', 'a'], ['Ã', 'a'], ['Ä', 'a'], ['Å', 'a'], ['Æ', 'ae'], ['Ç', 'c'], ['È', 'e'],
    ['É', 'e'], ['Ê', 'e'], ['Ë', 'e'], ['Ì', 'i'], ['Í', 'i'], ['Î', 'i'], ['Ï', 'i'], ['Ñ', 'n'], ['Ò', 'o'],
    ['Ó', 'o'], ['Ô', 'o'], ['Õ', 'o'], ['Ö', 'o'], ['Ø', 'o'], ['Ù', 'u'], ['Ú', 'u'], ['Û', 'u'], ['Ü', 'u'],
    ['Ý', 'y'], ['Ÿ', 'y'], ['Œ', 'oe'], ['Š', 's'], ['Ž', 'z'],
    ['E\u0301', 'e'], ['e\u0300', 'e'], ['O\u0308', 'o'], ['x\u036f', 'x'],
];
// Each name begins with its letter and ends with its own number, so that one
// search finds it alone. The last contact has no name.
const names = folds.map(([letter], i) => `${letter}ric ${String(i).padStart(2, '0')}`);

function foldsPage() {
    const tsv = path.join(suite.pages.dir, 'folds.tsv');
    fs.writeFileSync(tsv, [...names, ''].map((name) => `${name}\t1 rue de la Paix\t\t\t\t\t\t\n`).join(''));
    return suite.pages.write(tsv, { options: ['--from', 'tsv'] });
}

describe('folded letters', () => {
    test('"Go" finds each name by its spelling without accents', async () => {
        await visit(suite.browser, foldsPage().url, async (v) => {
            for (const [i, [letter, plain]] of folds.entries()) {
                const text = `${plain}ric ${String(i).padStart(2, '0')}`;
                await v.search(text);
                const found = { alerts: v.takeAlerts(), names: await v.listNames() };
                assert.deepEqual(found, { alerts: [], names: [names[i]] }, `${letter} as ${text}`);
            }
        });
    });

    test('a letter link lists the names that begin with it once folded, and never a name left empty', async () => {
        await visit(suite.browser, foldsPage().url, async (v) => {
            for (const letter of 'ABCDEFGHIJKLMNOPQRSTUVWXYZ') {
                const expected = names.filter((name) => foldedName(name).startsWith(letter.toLowerCase()));
                expected.sort(inPageOrder);
                await v.followLetter(letter);
                const alerts = v.takeAlerts();
                assert.deepEqual(await v.listNames(), expected, letter);
                assert.equal(alerts.length, expected.length === 0 ? 1 : 0, letter);
            }
        });
    });
});
