// Checks a published catalog in Chromium: axe finds no violations on the
// index, the first figure page and the first genre page at a desktop and a
// phone width, nothing scrolls sideways on the phone, and typing a query
// into the search box leaves exactly the expected cards visible.
//
//   node check.mjs SITE SHOTS [KEYS_FILE QUERY]
//
// Screenshots go to SHOTS as <page>-<width>.png. Exits 1 when any check
// fails, after reporting every failure.
import fs from "node:fs";
import path from "node:path";
import { createRequire } from "node:module";
import { pathToFileURL } from "node:url";
import { launch } from "./browser.mjs";

const require = createRequire(import.meta.url);
const axeSource = fs.readFileSync(require.resolve("axe-core/axe.min.js"), "utf8");
const widths = [1280, 390];
const phoneWidth = 390;

const [site, shots, keysFile, query] = process.argv.slice(2);
if (!site || !shots || (keysFile && query === undefined)) {
  console.error("usage: node check.mjs SITE SHOTS [KEYS_FILE QUERY]");
  process.exit(2);
}

const failures = [];
function fail(message) {
  failures.push(message);
  console.log(`FAIL ${message}`);
}

function firstPage(folder) {
  const dir = path.join(site, folder);
  const pages = fs.existsSync(dir) ? fs.readdirSync(dir).filter((f) => f.endsWith(".html")).sort() : [];
  if (pages.length === 0) {
    fail(`no page in ${folder}/`);
    return null;
  }
  return `${folder}/${pages[0]}`;
}

async function open(browser, page, width) {
  const tab = await browser.newPage();
  tab.on("pageerror", (error) => fail(`${page} at ${width} px: script error: ${error.message}`));
  await tab.setViewport({ width, height: 900 });
  await tab.goto(pathToFileURL(path.resolve(site, page)).href, { waitUntil: "load" });
  return tab;
}

// The two rules that measure text against what lies beneath it cost seconds
// a card on an index of thousands; they judge the first cards, which share
// their markup and stylesheet with the rest. Every other rule sees every card.
const costlyRules = ["color-contrast", "link-in-text-block"];
const judgedCards = 40;

async function checkAxe(tab, page, width) {
  await tab.evaluate(axeSource);
  const violations = await tab.evaluate(async (costlyRules, judgedCards) => {
    const options = { resultTypes: ["violations"] };
    const later = Array.from(document.querySelectorAll(".card")).slice(judgedCards);
    let found = [];
    if (later.length === 0) {
      found = (await window.axe.run(document, options)).violations;
    } else {
      const rules = Object.fromEntries(costlyRules.map((id) => [id, { enabled: false }]));
      found = (await window.axe.run(document, { ...options, rules })).violations;
      const first = { include: [document], exclude: later };
      const costly = { ...options, runOnly: { type: "rule", values: costlyRules } };
      found = found.concat((await window.axe.run(first, costly)).violations);
    }
    return found.map((v) => ({
      id: v.id,
      help: v.help,
      targets: v.nodes.slice(0, 3).map((n) => n.target.join(" ")),
      count: v.nodes.length,
    }));
  }, costlyRules, judgedCards);
  for (const v of violations)
    fail(`${page} at ${width} px: axe ${v.id} (${v.help}) on ${v.count} element(s): ${v.targets.join(", ")}`);
}

async function checkNoSideScroll(tab, page, width) {
  const widthsSeen = await tab.evaluate(() => ({
    content: document.documentElement.scrollWidth,
    view: document.documentElement.clientWidth,
  }));
  if (widthsSeen.content > widthsSeen.view)
    fail(`${page} at ${width} px: scrolls sideways (content ${widthsSeen.content} px wide)`);
}

async function visibleKeys(tab) {
  return tab.evaluate(() =>
    Array.from(document.querySelectorAll(".card"))
      .filter((card) => !card.closest("[hidden]"))
      .map((card) => card.getAttribute("data-key")));
}

function sameSet(a, b) {
  return a.size === b.size && [...a].every((k) => b.has(k));
}

async function checkSearch(tab) {
  const expected = new Set(fs.readFileSync(keysFile, "utf8").split(/\s+/).filter(Boolean));
  if (!(await tab.$("#search"))) {
    fail("index.html: no search box #search");
    return;
  }
  const before = await visibleKeys(tab);
  if (before.length === 0) fail("index.html: no card is shown before searching");
  await tab.type("#search", query);
  // The page may filter a moment after the last key; wait for it to settle.
  let seen = new Set();
  const deadline = Date.now() + 5000;
  do {
    await new Promise((resolve) => setTimeout(resolve, 100));
    seen = new Set(await visibleKeys(tab));
  } while (!sameSet(seen, expected) && Date.now() < deadline);
  if (sameSet(seen, expected)) {
    console.log(`ok   search "${query}": ${seen.size} of ${before.length} cards shown, as expected`);
    return;
  }
  const missing = [...expected].filter((k) => !seen.has(k));
  const extra = [...seen].filter((k) => !expected.has(k));
  fail(`search "${query}": ${seen.size} of ${before.length} cards shown, ${missing.length} expected missing ` +
       `(${missing.slice(0, 3).join(" ")}), ${extra.length} unexpected (${extra.slice(0, 3).join(" ")})`);
}

const pages = ["index.html", firstPage("figures"), firstPage("genres")].filter(Boolean);
fs.mkdirSync(shots, { recursive: true });
const browser = await launch();
try {
  for (const page of pages) {
    for (const width of widths) {
      const tab = await open(browser, page, width);
      const shot = `${page.replace(/\.html$/, "").replace(/\//g, "-")}-${width}.png`;
      await tab.screenshot({ path: path.join(shots, shot) });
      await checkAxe(tab, page, width);
      if (width === phoneWidth) await checkNoSideScroll(tab, page, width);
      if (page === "index.html" && width === widths[0] && keysFile) await checkSearch(tab);
      await tab.close();
      console.log(`done ${page} at ${width} px`);
    }
  }
} finally {
  await browser.close();
}
if (failures.length) {
  console.log(`${failures.length} check(s) failed`);
  process.exit(1);
}
console.log(`all checks passed on ${pages.join(", ")}`);
