// Starts the system's Chromium without a window for the site checks.
import fs from "node:fs";
import puppeteer from "puppeteer-core";

function chromiumPath() {
  const candidates = [process.env.CHROMIUM, "/usr/bin/chromium", "/usr/bin/chromium-browser"];
  const found = candidates.find((p) => p && fs.existsSync(p));
  if (!found) throw new Error("no chromium found (set CHROMIUM to its path)");
  return found;
}

export function launch() {
  return puppeteer.launch({
    executablePath: chromiumPath(),
    headless: true,
    protocolTimeout: 600000,
    args: ["--no-sandbox", "--disable-gpu", "--allow-file-access-from-files", "--hide-scrollbars"],
  });
}
