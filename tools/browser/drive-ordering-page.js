// Orders from the ordering page the way a customer does on a phone-sized screen:
//   node drive-ordering-page.js URL SHOT_DIR
// Adds two dishes, submits, prints "waiting ID" once the page shows 等待确认, then waits
// for the till to accept and prints "accepted" once the page shows 已接单.
const fs = require('fs');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');

const [url, shotDir] = process.argv.slice(2);

async function main() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vorlan-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync'],
  });
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 360, height: 740, deviceScaleFactor: 1, isMobile: true, hasTouch: true });
    await page.goto(url);
    await page.waitForSelector('.dish .plus');
    const plus = await page.$$('.dish .plus');
    await plus[0].click();
    await plus[0].click();
    await plus[2].click();
    await page.type('#phone', '13812345678');
    await page.type('#remark', '少辣');
    console.log('total ' + await page.$eval('#total', e => e.textContent));
    console.log('width ' + await page.evaluate(() => document.documentElement.scrollWidth));
    await page.evaluate(() => window.scrollTo(0, 0));
    await page.screenshot({ path: path.join(shotDir, 'web-page.png') });
    await page.click('#submit');
    await page.waitForFunction(() => document.getElementById('status').style.display === 'block'
                               && document.getElementById('state').textContent === '等待确认');
    console.log('waiting ' + await page.$eval('#orderId', e => e.textContent));
    await page.waitForFunction(() => document.getElementById('state').textContent === '已接单', { timeout: 30000 });
    await page.screenshot({ path: path.join(shotDir, 'web-page-accepted.png') });
    console.log('accepted');
  } finally {
    await browser.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
}

main().catch(e => { console.error(String(e)); process.exit(1); });
