// The desktop panel rebuilt from the server's layout message: one element
// per control, id = its name, aria-label = the desktop's accessible name,
// grouped as the desktop groups them. Nothing here changes the radio by
// itself: every action is a message, and the server's state says what
// happened.
import { attachChannelList } from '/channellist.js';

const RANK = { listen: 0, operate: 1, transmit: 2 };

const made = new Map();  // name -> { control, element }
let channelList = null;
let scanning = false;

function make(tag, props = {}) {
  return Object.assign(document.createElement(tag), props);
}

function labelled(control, field) {
  const wrap = make('label', { className: 'field' });
  wrap.append(make('span', { textContent: control.label }), field);
  return wrap;
}

// Each kind of desktop control, as the page shows it and what using it sends.
const builders = {
  push: (c, send) => make('button', { type: 'button', textContent: c.label, onclick: () => send.press(c) }),
  radio: (c, send) => toggle(c, send),
  check: (c, send) => toggle(c, send),
  text: (c) => make('output', { className: c.name === 'freq' ? 'frequency' : 'shown' }),
  // An edit with a Set button is this page's own until Set (or Enter) sends
  // it: what one operator types never shows on another's page. One without
  // (the scan limits) is a setting, sent as the edit is left.
  edit: (c, send) => {
    const input = make('input', { type: 'text', autocomplete: 'off', spellcheck: false });
    input.addEventListener('input', () => { input.dataset.typed = 'yes'; });
    input.addEventListener('change', () => {
      if (setButtonFor(c)) return;
      delete input.dataset.typed;
      send.enter(c, input.value);
    });
    input.addEventListener('keydown', (e) => {
      if (e.key === 'Enter') send.setFor(c);
    });
    return input;
  },
  combo: (c, send) => {
    const select = make('select');
    (c.items || []).forEach((item, index) => select.append(make('option', { value: index, textContent: item })));
    select.addEventListener('change', () => send.choose(c, Number(select.value)));
    return select;
  },
  list: (c) => make('ul', { className: 'channels' }),
};

function toggle(control, send) {
  const button = make('button', { type: 'button', textContent: control.label, className: 'toggle' });
  button.setAttribute('aria-pressed', 'false');
  button.onclick = () => send.press(control);
  return button;
}

function groupSection(container, sections, name) {
  if (sections.has(name)) return sections.get(name);
  const id = `group-${sections.size}`;
  const section = make('section', { className: 'group' });
  section.setAttribute('aria-labelledby', id);
  const items = make('div', { className: 'items' });
  section.append(make('h2', { id, textContent: name }), items);
  container.append(section);
  sections.set(name, items);
  return items;
}

// Xmit and Receive are drawn by the keying module: hold-to-talk with a
// heartbeat, not a click that could leave the transmitter keyed.
const DRAWN_BY_KEYING = new Set(['xmit', 'receive']);

export function buildPanel(container, layout, send) {
  container.replaceChildren();
  made.clear();
  channelList = null;
  const sections = new Map();
  for (const control of layout.controls) {
    const build = builders[control.kind];
    if (!build || DRAWN_BY_KEYING.has(control.name)) continue;
    const element = build(control, send);
    element.id = control.name;
    element.setAttribute('aria-label', control.accessible || control.label);
    const shown = control.kind === 'edit' || control.kind === 'combo' ? labelled(control, element) : element;
    if (control.kind === 'list' || control.name === 'freq') shown.classList.add('wide');
    groupSection(container, sections, control.group || 'Panel').append(shown);
    made.set(control.name, { control, element });
    if (control.kind === 'list') channelList = attachChannelList(element, send.recall);
  }
  showScan();
}

// Chan Scan looks pressed while the scan runs (whatever stopped it), and the
// channel list says so; neither moves anything on the page.
function showScan() {
  if (channelList) channelList.showScan(scanning);
  const button = made.get('chan-scan');
  if (!button) return;
  button.element.classList.add('toggle');
  button.element.setAttribute('aria-pressed', String(scanning));
}

// A control the operator's role may not use is disabled here too; the
// server refuses it whatever the page does.
export function allowRole(role) {
  const rank = RANK[role] ?? 0;
  for (const { control, element } of made.values()) {
    const needed = control.role ? RANK[control.role] : Infinity;
    if (control.kind !== 'text' && control.kind !== 'list') element.disabled = rank < needed;
  }
  if (channelList) channelList.allow(rank >= RANK.operate);
}

export function showValue(name, value) {
  if (name === 'scanning') {
    scanning = value === true;
    showScan();
    return;
  }
  const entry = made.get(name);
  if (!entry) return;
  const { control, element } = entry;
  if (control.kind === 'radio' || control.kind === 'check') element.setAttribute('aria-pressed', String(value === true));
  else if (control.kind === 'text') element.textContent = String(value).trim() || '—';
  else if (control.kind === 'edit' && document.activeElement !== element && !element.dataset.typed)
    element.value = String(value).trim();
  else if (control.kind === 'combo') {
    const index = (control.items || []).indexOf(String(value));
    if (index >= 0) element.value = String(index);
  }
}

export function showChannels(rows) {
  if (channelList) channelList.show(rows);
}

// The group's own Set button, pressed after its edit is typed into, as the
// desktop user would.
export function setButtonFor(control) {
  for (const { control: other } of made.values())
    if (other.kind === 'push' && other.group === control.group && other.name.startsWith('set-')) return other;
  return null;
}

export function editsOf(group) {
  return [...made.values()].filter((m) => m.control.kind === 'edit' && m.control.group === group);
}

// What the operator typed has been sent; the edit shows the panel again.
export function sent(element) {
  delete element.dataset.typed;
}
