// Loads a page of a published catalog in Chromium COUNT times, each time in
// a fresh browser context (nothing cached), and prints for each load the
// milliseconds from the start of navigation to the end of its load event.
//
//   node load.mjs PAGE COUNT [--without-script]
//
// The page is loaded from a copy beside it in a temporary folder, with a base
// address pointing back at its own folder; --without-script also drops every
// script element from the copy. One load before the counted ones warms the
// browser up.
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { pathToFileURL } from "node:url";
import { launch } from "./browser.mjs";

const [page, countText, option] = process.argv.slice(2);
const count = Number(countText);
if (!page || !(count > 0) || (option && option !== "--without-script")) {
  console.error("usage: node load.mjs PAGE COUNT [--without-script]");
  process.exit(2);
}

let html = fs.readFileSync(page, "utf8");
if (option) html = html.replace(/<script\b[^>]*>[\s\S]*?<\/script\s*>/gi, "");
const base = pathToFileURL(path.dirname(path.resolve(page)) + "/").href;
html = html.replace(/<head\b[^>]*>/i, (head) => `${head}<base href="${base}">`);
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), "velmora-load-"));
const copy = path.join(scratch, "page.html");
fs.writeFileSync(copy, html);

const browser = await launch();
try {
  for (let i = 0; i <= count; ++i) {
    const context = await browser.createBrowserContext();
    const tab = await context.newPage();
    await tab.setViewport({ width: 1280, height: 900 });
    await tab.goto(pathToFileURL(copy).href, { waitUntil: "load" });
    await tab.waitForFunction(() => performance.getEntriesByType("navigation")[0].loadEventEnd > 0);
    const ms = await tab.evaluate(() => performance.getEntriesByType("navigation")[0].loadEventEnd);
    await context.close();
    if (i > 0) console.log(ms.toFixed(3));
  }
} finally {
  await browser.close();
  fs.rmSync(scratch, { recursive: true, force: true });
}
