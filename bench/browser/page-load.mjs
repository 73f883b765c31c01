// Load and search times of directory pages in the system's Chromium.
//
//   node bench/browser/page-load.mjs [--sizes 1000,10000,50000] [--runs 3] [--cap 900]
//
// For each size it writes a page of that many contacts with fichelia-page
// (FICHELIA_PAGE_TOOL, default build/tools/fichelia-page/fichelia-page) and a
// baseline page of the same bytes whose script is inert (type="text/plain", no
// onload), then measures in the browser:
//   load    navigation start to the end of the load event, i.e. until the
//           page's initPage() has filled the list (loadEventEnd)
//   script  the head script: its record lines and triAlpha(), the page's
//           bubble sort (from the script element's insertion, seen by a
//           mutation observer, to DOMContentLoaded; less the same span of the
//           baseline, which is the parsing of the same bytes)
//   init    initPage() in the load event (loadEventEnd - loadEventStart)
//   go      one "Go" search for "mar": recherche() plus the layout of the
//           refilled list, timed inside the page
// and prints each as a ratio to the baseline's load time. A load still running
// after --cap seconds is stopped and reported as such; larger sizes are then
// skipped. Needs `npm ci` in tests/browser (scripts/install-deps.sh --test does it).

import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { parseArgs } from 'node:util';

import { startBrowser } from '../../tests/browser/support/browser.mjs';

const repo = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..', '..');

const { values: options } = parseArgs({
    options: {
        sizes: { type: 'string', default: '1000,10000,50000' },
        runs: { type: 'string', default: '3' },
        cap: { type: 'string', default: '900' },
        search: { type: 'string', default: 'mar' },
    },
});
const sizes = options.sizes.split(',').map(Number);
const runs = Number(options.runs);
const capMs = Number(options.cap) * 1000;
const tool = process.env.FICHELIA_PAGE_TOOL || path.join(repo, 'build', 'tools', 'fichelia-page', 'fichelia-page');

// --- Contacts with realistic French names of mixed case ---------------------

// A small fixed-seed generator, so every run measures the same pages.
function generator(seed) {
    let state = seed >>> 0;
    const next = () => {
        state = (state + 0x6d2b79f5) >>> 0;
        let t = state;
        t = Math.imul(t ^ (t >>> 15), t | 1);
        t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
        return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
    };
    return { next, pick: (list) => list[Math.floor(next() * list.length)] };
}

const surnames = `Martin Bernard Dubois Thomas Robert Richard Petit Durand Leroy Moreau Simon Laurent Lefebvre Michel
Garcia David Bertrand Roux Vincent Fournier Morel Girard André Lefèvre Mercier Dupont Lambert Bonnet François
Martinez Legrand Garnier Faure Rousseau Blanc Guérin Muller Henry Roussel Nicolas Perrin Morin Mathieu Clément
Gauthier Dumont Lopez Fontaine Chevalier Robin Masson Sanchez Gérard Nguyen Boyer Denis Lemaire Duval Joly Gautier
Roger Roche Roy Noël Meyer Lucas Meunier Jean Pérez Marchand Dufour Blanchard Marie Barbier Brun Dumas Brunet
Schmitt Leroux Colin Fernandez Pierre Renard Arnaud Rolland Caron Aubert Giraud Leclerc Vidal Bourgeois Renaud
Lemoine Picard Gaillard Philippe Leclercq Lacroix Fabre Dupuis Olivier Rodriguez Hubert Louis Charles Guillot
Rivière Guillaume Adam Rey Moulin Gonzalez Berger Lecomte Ménard Fleury Deschamps Carpentier Julien Benoît Paris
Maillard Marchal Aubry Vasseur Renault Jacquet Collet Prévost Poirier Charpentier Royer Huet Baron Dupuy Pons Paul
Laine Carré Breton Rémy Schneider Perrot Guyot Barre Marty Cousin Étienne Évrard Éloi Zimmermann Weber Klein
Tessier Besnard Chauvin Hamon Texier Lebrun Lemaître Vallée Joubert Charrier Guillou Le Goff Le Gall Kerboriou`.split(/\s+/);

const firstNames = `Jean Marie Pierre Michel André Philippe Nathalie Isabelle Sylvie Catherine Françoise Hélène Éric
Émilie Élodie Stéphane Céline Sébastien Aurélie Jérôme Frédéric Valérie Léa Chloé Zoé Inès Noé Théo Loïc Gaëlle
Anaïs Benoît Clémence Agnès Cécile Thérèse Jacques Nicolas Julien Camille Louise Hugo Lucas Manon Emma Gabriel
Raphaël Arthur Jules Maël Océane Mathéo Ambre Laurence Christophe Véronique Dominique Pascal Thierry Sandrine`.split(
    /\s+/,
);

const trades = ['boulangerie', 'cabinet', 'garage', 'pharmacie', 'librairie', 'menuiserie', 'plomberie', 'fleuriste',
    'atelier', 'épicerie', 'société', 'agence', 'salon de coiffure', 'auto-école'];
const particles = ['de', 'du', 'de la', 'le', 'la', 'van', "d'"];
const towns = ['Paris', 'Lyon', 'Marseille', 'Toulouse', 'Nantes', 'Rennes', 'Lille', 'Orléans', 'Besançon', 'Évreux',
    'Épinal', 'Nîmes', 'Bourg-en-Bresse', 'Saint-Étienne', 'Aix-en-Provence'];
const streets = ['rue de la République', 'avenue Jean Jaurès', 'place du Marché', 'boulevard Victor Hugo',
    'chemin des Écoliers', 'allée des Tilleuls', 'impasse des Lilas', 'quai de la Loire', 'rue Émile Zola'];

function frenchName(g) {
    const surname = g.pick(surnames);
    const first = g.pick(firstNames);
    const r = g.next();
    if (r < 0.4) return `${surname} ${first}`;
    if (r < 0.6) return `${surname.toUpperCase()} ${first}`;
    if (r < 0.7) return `${first} ${surname}`;
    if (r < 0.78) {
        const particle = g.pick(particles);
        return particle === "d'" ? `d'${surname} ${first}` : `${particle} ${surname} ${first}`;
    }
    if (r < 0.9) return `${g.pick(trades)} ${surname}`;
    if (r < 0.95) return g.next() < 0.5 ? `Établissements ${surname}` : `École ${g.pick(towns)}`;
    return g.next() < 0.5 ? `SARL ${surname} & Fils` : `${surname} et Associés`;
}

function slug(text) {
    return text.normalize('NFD').replace(/[\u0300-\u036f]/g, '').toLowerCase().replace(/[^a-z0-9]+/g, '-')
        .replace(/^-|-$/g, '');
}

function contactsTsv(count) {
    const g = generator(count);
    const digits = (n) => Array.from({ length: n }, () => Math.floor(g.next() * 10)).join('');
    const lines = [];
    for (let i = 0; i < count; ++i) {
        const nom = frenchName(g);
        const s = slug(nom);
        lines.push([
            nom,
            `${1 + Math.floor(g.next() * 120)} ${g.pick(streets)}, ${digits(5)} ${g.pick(towns)}`,
            `0${1 + Math.floor(g.next() * 5)} ${digits(2)} ${digits(2)} ${digits(2)} ${digits(2)}`,
            g.next() < 0.7 ? `06 ${digits(2)} ${digits(2)} ${digits(2)} ${digits(2)}` : '',
            g.next() < 0.2 ? `01 ${digits(2)} ${digits(2)} ${digits(2)} ${digits(2)}` : '',
            `${s}@exemple.fr`,
            g.next() < 0.5 ? `http://www.${s}.example/` : '',
            g.next() < 0.5 ? 'Client depuis 2004, livraison le mardi' : '',
        ].join('\t'));
    }
    return lines.join('\n') + '\n';
}

// --- Pages -----------------------------------------------------------------

function writePages(dir, count) {
    const page = execFileSync(tool, ['write'], { input: contactsTsv(count), maxBuffer: 1 << 30 });
    // The baseline keeps every byte in place but runs nothing: the same length
    // of markup for the parser, no script, no onload.
    let text = page.toString('latin1');
    const swap = (from, to) => {
        if (to.length !== from.length || !text.includes(from)) {
            throw new Error(`cannot make the baseline page: ${from}`);
        }
        text = text.replace(from, to);
    };
    swap('<script language="JavaScript">', '<script type="text/plain"    >');
    swap('<body onload="initPage();">', '<body                     >');
    const pageFile = path.join(dir, `page-${count}.html`);
    const baselineFile = path.join(dir, `baseline-${count}.html`);
    fs.writeFileSync(pageFile, page);
    fs.writeFileSync(baselineFile, Buffer.from(text, 'latin1'));
    return { page: pathToFileURL(pageFile).href, baseline: pathToFileURL(baselineFile).href, bytes: page.length };
}

// --- Measuring -------------------------------------------------------------

async function measureLoad(url, { search } = {}) {
    const browser = await startBrowser();
    try {
        const page = await browser.context.newPage();
        await page.addInitScript(() => {
            new MutationObserver((records, observer) => {
                if (records.some((r) => [...r.addedNodes].some((n) => n.nodeName === 'SCRIPT'))) {
                    window.benchScriptInserted = performance.now();
                    observer.disconnect();
                }
            }).observe(document, { childList: true, subtree: true });
        });
        const errors = [];
        page.on('pageerror', (e) => errors.push(e.message));
        page.on('dialog', (d) => d.accept());
        try {
            await page.goto(url, { waitUntil: 'load', timeout: capMs });
        } catch (error) {
            if (error.name === 'TimeoutError') {
                return { timedOut: true };
            }
            throw error;
        }
        // The load event has ended by now, initPage() with it.
        await page.waitForFunction(() => performance.getEntriesByType('navigation')[0].loadEventEnd > 0);
        const timing = await page.evaluate(() => {
            const n = performance.getEntriesByType('navigation')[0];
            return {
                load: n.loadEventEnd,
                script: n.domContentLoadedEventStart - (window.benchScriptInserted ?? n.domContentLoadedEventStart),
                init: n.loadEventEnd - n.loadEventStart,
            };
        });
        if (search !== undefined) {
            Object.assign(timing, await page.evaluate((text) => {
                document.forms.form1.Recherche.value = text;
                const start = performance.now();
                document.querySelector('input[type="button"][value="Go"]').click();
                void document.body.offsetHeight; // lay the refilled list out
                return {
                    go: performance.now() - start,
                    matches: document.forms.form1.selection.options.length,
                };
            }, search));
        }
        if (errors.length > 0) {
            throw new Error(`script errors on ${url}: ${errors.join('; ')}`);
        }
        return timing;
    } finally {
        await browser.close();
    }
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const ms = (value) => (value >= 10000 ? `${(value / 1000).toFixed(1)} s` : `${value.toFixed(1)} ms`);
const ratio = (value, base) => `${(value / base).toFixed(1)}x`;

const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'fichelia-bench-'));
const rows = [];
try {
    for (const count of sizes) {
        const urls = writePages(dir, count);
        const base = [];
        const real = [];
        for (let run = 0; run < runs; ++run) {
            base.push(await measureLoad(urls.baseline));
            const result = await measureLoad(urls.page, { search: options.search });
            real.push(result);
            if (result.timedOut || result.load > 60000) {
                break; // one run of a slow page says enough
            }
        }
        const baseLoad = median(base.map((b) => b.load));
        const timedOut = real.some((r) => r.timedOut);
        const row = { count, bytes: urls.bytes, runs: real.length, baseLoad, timedOut };
        if (!timedOut) {
            row.load = median(real.map((r) => r.load));
            row.script = median(real.map((r) => r.script)) - median(base.map((b) => b.script));
            row.init = median(real.map((r) => r.init));
            row.go = median(real.map((r) => r.go));
            row.matches = real[0].matches;
        }
        rows.push(row);
        const cells = [
            `${count} contacts (${(urls.bytes / 1e6).toFixed(1)} MB, ${row.runs} run${row.runs > 1 ? 's' : ''})`,
            `baseline load ${ms(baseLoad)}`,
        ];
        if (timedOut) {
            cells.push(`page load stopped after ${options.cap} s (more than ${ratio(capMs, baseLoad)})`);
        } else {
            cells.push(
                `page load ${ms(row.load)} = ${ratio(row.load, baseLoad)}`,
                `of which script ${ms(row.script)} = ${ratio(row.script, baseLoad)}`,
                `initPage ${ms(row.init)} = ${ratio(row.init, baseLoad)}`,
                `"Go" ${options.search} (${row.matches} matches) ${ms(row.go)} = ${ratio(row.go, baseLoad)}`,
            );
        }
        console.log(cells.join(' | '));
        if (timedOut) {
            break;
        }
    }
} finally {
    fs.rmSync(dir, { recursive: true, force: true });
}
