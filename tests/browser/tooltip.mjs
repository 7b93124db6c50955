// Opens report pages in the system's headless chromium and checks the graphic
// summary as a reader uses it: hovering a window bar shows its text with the
// hit id as plain text, leaving restores the default, clicking jumps to the
// alignment, and no script error is logged.
//   node tooltip.mjs VARNEK INPUT OUTPUT_DIR
// INPUT's first hit id holds what could end the attribute, the script string
// or the markup. Exits 77 (skipped) when chromium or playwright-core is
// missing, except in CI.
import { execFileSync } from 'node:child_process';
import { existsSync, mkdirSync, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';

const chromiumPath = '/usr/bin/chromium';
const defaultInfo = 'Mouse-over to show defline and scores, click to show alignments';
const firstBar = `window[1.1] hit[</script>"'&<b>] length[100] identity[0.950000]`;

function skipUnlessCi(reason) {
  console.log(`${process.env.CI ? 'failed' : 'skipped'}: ${reason}`);
  process.exit(process.env.CI ? 1 : 77);
}

function check(condition, message) {
  if (!condition)
    throw new Error(message);
}

// The information box's text and the elements inside it.
const infoBox = (page) => page.$eval('#info', (box) => ({
  text: box.textContent.trim(),
  elements: Array.from(box.querySelectorAll('*'), (element) => element.tagName.toLowerCase()),
}));

async function checkPage(browser, url, screenshot) {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  page.on('console', (message) => message.type() === 'error' && errors.push(message.text()));
  await page.goto(url);
  check((await infoBox(page)).text === defaultInfo, 'the information box does not start with the default text');

  const bar = page.locator('td.window a').first();
  await bar.hover();
  const shown = await infoBox(page);
  check(shown.text === firstBar, `hovering shows ${JSON.stringify(shown.text)}, not ${JSON.stringify(firstBar)}`);
  check(JSON.stringify(shown.elements) === '["b"]', `the hit id became markup: ${shown.elements}`);
  await page.screenshot({ path: screenshot });

  await page.mouse.move(1, 1);
  check((await infoBox(page)).text === defaultInfo, 'leaving the bar does not restore the default text');

  await bar.click();
  await page.waitForFunction(() => location.hash === '#Q1-A1');
  const top = await page.$eval('#Q1-A1', (division) => division.getBoundingClientRect().top);
  const scrolled = await page.evaluate(() => window.scrollY);
  check(scrolled > 0 && Math.abs(top) <= 1, `clicking does not bring the alignment to the top (top ${top})`);
  check(errors.length === 0, `script errors: ${errors.join('; ')}`);
  await page.close();
}

async function main() {
  const [varnek, input, outputDir] = process.argv.slice(2);
  if (!existsSync(chromiumPath))
    skipUnlessCi(`${chromiumPath} is not installed`);
  const { chromium } = await import('playwright-core').catch(
    () => skipUnlessCi('playwright-core is not installed (npm ci in tests/browser)'));
  mkdirSync(outputDir, { recursive: true });
  const profile = mkdtempSync(join(tmpdir(), 'varnek-chromium-'));
  const browser = await chromium.launchPersistentContext(profile, {
    executablePath: chromiumPath,
    headless: true,
    chromiumSandbox: false,
    viewport: { width: 1100, height: 700 },
    args: ['--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync'],
  });
  try {
    // The same page read by the HTML parser and by the XML parser.
    for (const extension of ['html', 'xhtml']) {
      const file = join(outputDir, `report.${extension}`);
      execFileSync(varnek, ['-o', 'html', '-l', '20', '-w', file, input]);
      await checkPage(browser, pathToFileURL(file).href, join(outputDir, `tooltip-${extension}.png`));
      console.log(`${extension}: hover, leave and click work`);
    }
  } finally {
    await browser.close();
    rmSync(profile, { recursive: true, force: true });
  }
}

main().catch((error) => {
  console.error(error.message);
  process.exit(1);
});
