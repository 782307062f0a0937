// The editor page in headless chromium: teds serve started on a free port over a copy
// of the sample bus, the page driven as a user would, with the keyboard where it can be.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawn, spawnSync } from 'node:child_process';
import { copyFileSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { chromium } from 'playwright-core';

const source = process.env.TEDSKIT_SOURCE_DIR || new URL('../..', import.meta.url).pathname;
const teds = process.env.TEDS_BINARY || join(source, 'build/dev/cli/teds');
const browserPath = process.env.CHROMIUM || '/usr/bin/chromium';
// Set to a path (docs/editor.png) to keep the picture of the editor the README shows.
const screenshot = process.env.TEDSKIT_SCREENSHOT || '';

let dir, server, url, browser, page;

function startServer(bus) {
  return new Promise((resolve, reject) => {
    const child = spawn(teds, ['serve', '--port', '0', '--bus', bus], { stdio: ['ignore', 'pipe', 'inherit'] });
    let out = '';
    child.stdout.on('data', (chunk) => {
      out += chunk;
      const line = out.split('\n')[0];
      if (out.includes('\n')) resolve({ child, url: line.trim() });
    });
    child.on('error', reject);
    child.on('exit', (code) => reject(new Error(`teds serve ended with ${code}`)));
  });
}

function fieldRow(label) {
  return page.locator('.field', { has: page.getByLabel(label, { exact: true }) });
}

before(async () => {
  dir = mkdtempSync(join(tmpdir(), 'teds-web-'));
  copyFileSync(join(source, 'examples/sensor.bus'), join(dir, 'sensor.bus'));
  ({ child: server, url } = await startServer(join(dir, 'sensor.bus')));
  browser = await chromium.launch({ executablePath: browserPath, args: ['--no-sandbox'] });
  const context = await browser.newContext({ acceptDownloads: true, viewport: { width: 1200, height: 900 } });
  page = await context.newPage();
  await page.goto(url);
  await page.locator('#template-select option').first().waitFor({ state: 'attached' });
});

after(async () => {
  if (browser) await browser.close();
  if (server) {
    const ended = new Promise((resolve) => server.once('exit', resolve));
    process.kill(server.pid, 'SIGTERM');
    await ended;
  }
  rmSync(dir, { recursive: true, force: true });
});

test('opens the bundled example and drops the token from the address bar', async () => {
  await page.getByRole('button', { name: 'Open the bundled example' }).click();
  await page.locator('#teds-title', { hasText: 'Accelerometer' }).waitFor();
  assert.equal(new URL(page.url()).search, '');
  assert.equal(await page.getByLabel('Serial no.', { exact: true }).isDisabled(), true);
  assert.equal(await page.getByLabel('Sensitivity direction (x,y,z)').evaluate((e) => e.tagName), 'SELECT');
  assert.equal(await page.getByLabel('Calibration date').getAttribute('type'), 'date');
  assert.ok((await page.locator('#bit-map .bit').count()) >= 320);
  assert.match(await page.locator('.bit[title^="Fref"]').first().getAttribute('title'), /^Fref: bits \d+-\d+ = /);
  // The first bit of the template data is the sensitivity's; before it the template ID.
  const cells = page.locator('#bit-map .bit');
  await cells.nth(82).hover();
  assert.match(await page.locator('#bit-info').textContent(), /^Sensitivity @ Fref \(template data\): bits 82 to 97/);
  await cells.nth(74).hover();
  assert.match(await page.locator('#bit-info').textContent(), /^Template ID/);
  await cells.nth(8).hover();
  assert.match(await page.locator('#bit-info').textContent(), /^Manufacturer \(Basic TEDS\)/);
  // ASCII text has room too, counted in its 8-bit characters.
  const room = fieldRow('User data (ascii)').locator('[id$="-room"]');
  const left = Number((await room.textContent()).match(/^(\d+) of (\d+) characters left of 8-bit text/)[1]);
  await page.getByLabel('User data (ascii)').pressSequentially('AB');
  assert.match(await room.textContent(), new RegExp(`^${left - 2} of `));
  await page.keyboard.press('Tab');
  await page.locator('#status', { hasText: 'User data (ascii) set.' }).waitFor();
});

test('edits a field with the keyboard and shows the value stored', async () => {
  const position = page.getByLabel('Meas. position ID');
  await position.focus();
  await position.fill('7');
  await page.keyboard.press('Tab');
  await page.locator('#status', { hasText: 'Meas. position ID set.' }).waitFor();
  assert.equal(await page.getByLabel('Meas. position ID').inputValue(), '7');
  assert.match(await fieldRow('Meas. position ID').locator('.hint').first().textContent(), /stored as 7/);
});

test('refuses an out-of-range value next to its field', async () => {
  const fref = page.getByLabel('Fref', { exact: true });
  await fref.fill('1e9');
  await page.keyboard.press('Tab');
  const refusal = fieldRow('Fref').locator('.refusal');
  await refusal.waitFor();
  assert.match(await refusal.textContent(), /1e9/);
  assert.equal(await page.getByLabel('Fref', { exact: true }).getAttribute('aria-invalid'), 'true');
  if (screenshot) await page.screenshot({ path: screenshot, fullPage: true });
});

test('writes to the simulated bus after a confirmation and reads it back', async () => {
  await page.getByRole('button', { name: 'Scan' }).click();
  await page.locator('#chip-select option').first().waitFor({ state: 'attached' });
  await page.getByRole('button', { name: 'Write to the chip…' }).click();
  const dialog = page.locator('#write-dialog');
  await dialog.waitFor();
  assert.match(await page.locator('#write-rom').textContent(), /2DE1A5E10D0000FE/);
  assert.match(await page.locator('#write-diff').textContent(), /Meas\. position ID: \d+ -> 7/);
  await page.getByRole('button', { name: 'Write', exact: true }).click();
  await page.locator('#write-result', { hasText: 'verified' }).waitFor();
  const onDisk = readFileSync(join(dir, 'sensor.bus'), 'utf8');
  assert.ok(onDisk.length > 0);
  await page.getByRole('button', { name: 'Open the bundled example' }).click();
  await page.locator('#status', { hasText: 'Opened the bundled example' }).waitFor();
  await page.getByRole('button', { name: 'Read the chip' }).click();
  await page.locator('#status', { hasText: 'Read the DS2431' }).waitFor();
  assert.equal(await page.getByLabel('Meas. position ID').inputValue(), '7');
});

test('asks for a choice of its own before writing an image whose checksum did not match', async () => {
  const bad = 'memory: 2E12C066440819001000EC041A89C9426793D5160C0042524B542D37000000000000000000000000\n' +
    'register: 12C0664408190010\n';
  await page.getByLabel('Pasted hex').fill(bad);
  await page.getByRole('button', { name: 'Open the hex' }).click();
  await page.locator('#teds-summary', { hasText: 'does not match' }).waitFor();
  await page.getByRole('button', { name: 'Write to the chip…' }).click();
  await page.locator('#write-dialog').waitFor();
  const force = page.getByLabel('Write it anyway, with a new checksum');
  assert.equal(await force.isVisible(), true);
  await page.getByRole('button', { name: 'Write', exact: true }).click();
  await page.locator('#write-refusal', { hasText: 'force' }).waitFor();
  assert.equal(await page.locator('#write-dialog').isVisible(), true);
  await force.check();
  await page.getByRole('button', { name: 'Write', exact: true }).click();
  await page.locator('#write-dialog').waitFor({ state: 'hidden' });
  await page.locator('#status', { hasText: 'and verified' }).waitFor();
  assert.doesNotMatch(await page.locator('#teds-summary').textContent(), /does not match/);
});

test('draws a TDL template with the selector bits between its fields', async () => {
  const option = await page.locator('#template-select option', { hasText: 'v1.0 39:' }).getAttribute('value');
  await page.locator('#template-select').selectOption(option);
  await page.getByRole('button', { name: 'New TEDS' }).click();
  await page.locator('#teds-title', { hasText: 'Potentiometric' }).waitFor();
  const cells = page.locator('#bit-map .bit');
  // The precision of the electrical signal is chosen by the data: one bit and no field.
  await cells.nth(152).hover();
  assert.match(await page.locator('#bit-info').textContent(), /^Select case \(no field/);
  assert.match(await cells.nth(152).getAttribute('class'), /\bgap\b/);
  await cells.nth(153).hover();
  assert.match(await page.locator('#bit-info').textContent(), /^Sensor impedance/);
  assert.match(await fieldRow('Cal Initials').locator('[id$="-room"]').textContent(), /^3 of 3 characters left/);
});

test('marks the selector and ID of a chained calibration table and the end of the chain', async () => {
  const made = spawnSync(teds, ['new', '25', '--add-template', '40'], { encoding: 'utf8' });
  assert.equal(made.status, 0, made.stderr);
  await page.locator('#hex-input').fill(made.stdout);
  await page.getByRole('button', { name: 'Open the hex' }).click();
  await page.getByLabel('Calibration domain', { exact: true }).waitFor();
  const titles = await page.locator('#bit-map .bit').evaluateAll((cells) => cells.map((cell) => cell.title));
  const domain = titles.findIndex((title) => title.startsWith('Calibration domain:'));
  assert.ok(domain > 82);
  assert.match(titles[domain - 10], /^Chained template selector: bits \d+-\d+ = 0$/);
  assert.match(titles[domain - 8], /^Chained template ID: bits \d+-\d+ = 40$/);
  const last = titles.findLastIndex((title) => title.startsWith('Calibration table[1].'));
  assert.match(titles[last + 1], /^End of the templates: bits \d+-\d+ = 3$/);
  const chain = titles.slice(domain - 10, last + 3);
  assert.ok(!chain.some((title) => title.startsWith('Select case')), 'a chain bit was taken for a select case');
});

test('downloads the TEDS as a virtual TEDS file', async () => {
  const [download] = await Promise.all([
    page.waitForEvent('download'),
    page.getByRole('button', { name: 'Virtual TEDS (.ted)' }).click(),
  ]);
  assert.equal(download.suggestedFilename(), 'teds.ted');
  const bytes = readFileSync(await download.path());
  // The header "[v03]", one byte per bit, low bit first.
  let header = '';
  for (let c = 0; c < 5; c++) {
    let code = 0;
    for (let k = 0; k < 8; k++) code |= (bytes[c * 8 + k] & 1) << k;
    header += String.fromCharCode(code);
  }
  assert.equal(header, '[v03]');
});

test('labels every control and fits a narrow window', async () => {
  const unlabelled = await page.evaluate(() =>
    [...document.querySelectorAll('input, select, textarea')]
      .filter((e) => !e.labels || e.labels.length === 0)
      .map((e) => e.id));
  assert.deepEqual(unlabelled, []);
  await page.setViewportSize({ width: 360, height: 800 });
  const overflow = await page.evaluate(() => document.documentElement.scrollWidth - window.innerWidth);
  assert.ok(overflow <= 0, `the page is ${overflow}px wider than a 360px window`);
  // The keyboard goes through the ways to open a TEDS in the order they are read.
  await page.locator('#file-input').focus();
  const order = ['file-input'];
  for (let i = 0; i < 9; i++) {
    await page.keyboard.press('Tab');
    order.push(await page.evaluate(() => document.activeElement.id));
  }
  assert.deepEqual(order, ['file-input', 'open-example', 'hex-input', 'open-hex', 'template-select', 'new-teds',
    'bus-input', 'bus-scan', 'chip-select', 'bus-read']);
});

test('keeps what is typed in one field while the answer for another arrives', async () => {
  await page.getByRole('button', { name: 'Open the bundled example' }).click();
  await page.locator('#teds-title', { hasText: 'Accelerometer' }).waitFor();
  let answer;
  const held = new Promise((resolve) => { answer = resolve; });
  await page.route('**/api/set', async (route) => { await held; await route.continue(); }, { times: 1 });
  await page.getByLabel('Meas. position ID').fill('9');
  await page.keyboard.press('Tab');
  const temperature = page.getByLabel('Reference temperature');
  await temperature.focus();
  await temperature.fill('24.5');
  answer();
  await page.locator('#status', { hasText: 'Meas. position ID set.' }).waitFor();
  assert.equal(await page.getByLabel('Reference temperature').inputValue(), '24.5');
  const typedIn = await page.getByLabel('Reference temperature').getAttribute('id');
  assert.equal(await page.evaluate(() => document.activeElement.id), typedIn);
  await page.keyboard.press('Tab');
  await page.locator('#status', { hasText: 'Reference temperature set.' }).waitFor();
  assert.equal(await page.getByLabel('Meas. position ID').inputValue(), '9');
});
