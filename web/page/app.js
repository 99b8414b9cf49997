// The live panel: one WebSocket to the page's own origin. The server sends
// the layout once, then only what changed; the page sends what the operator
// did, and shows whatever the server refuses.
import { attachAudio } from '/audio.js';
import { attachKeying } from '/keying.js';
import { COMMAND, TYPE } from '/messages.js';
import { allowRole, buildPanel, editsOf, sent, setButtonFor, showChannels, showValue } from '/panel.js';

const $ = (id) => document.getElementById(id);
const SPOKEN_GAP_MS = 1000;
const SPOKEN = ['freq', 'mode', 'agc', 'transmit'];

let socket = null;
let role = 'listen';
let spokenAt = 0;
let spokenTimer = null;
let pendingSpeech = '';
const values = {};

export function send(command) {
  if (socket && socket.readyState === WebSocket.OPEN) socket.send(JSON.stringify(command));
}

// Audio frames; one the socket cannot take at once is not worth keeping.
function sendBinary(frame) {
  if (socket && socket.readyState === WebSocket.OPEN && socket.bufferedAmount < 65536) socket.send(frame);
}

let audioFrame = () => {};

const actions = {
  // A Set button takes what its edit holds now, typed or not yet left.
  press: (c) => {
    if (c.name.startsWith('set-'))
      for (const { control, element } of editsOf(c.group)) {
        actions.enter(control, element.value);
        sent(element);
      }
    send({ command: COMMAND.PRESS, control: c.name });
  },
  enter: (c, text) => send({ command: COMMAND.ENTER, control: c.name, text }),
  choose: (c, index) => send({ command: COMMAND.CHOOSE, control: c.name, index }),
  setFor: (c) => {
    const set = setButtonFor(c);
    if (set) actions.press(set);
  },
  recall: (row) => send({ command: COMMAND.RECALL, row }),
};

// The radio may change many times a second; a screen reader hears the
// latest at most once a second.
function speak(text) {
  pendingSpeech = text;
  if (spokenTimer) return;
  const wait = Math.max(0, spokenAt + SPOKEN_GAP_MS - Date.now());
  spokenTimer = setTimeout(() => {
    spokenTimer = null;
    spokenAt = Date.now();
    $('spoken').textContent = pendingSpeech;
  }, wait);
}

function showState(message) {
  const changed = Object.keys(message.values || {});
  Object.assign(values, message.values);
  for (const name of changed) showValue(name, values[name]);
  $('link').textContent = message.link ? `Radio: ${message.link}` : 'Radio heard';
  $('link').className = message.link ? 'link' : 'link ok';
  document.body.classList.toggle('keyed', values.transmit === true);
  if (changed.some((name) => SPOKEN.includes(name)) && values.freq !== undefined)
    speak(`${String(values.freq).trim()} kHz, ${values.mode || ''}, AGC ${values.agc || ''}, ${values.transmit ? 'transmitting' : 'receiving'}`);
}

function showOperators(list) {
  $('operators').replaceChildren(...list.map((op) => Object.assign(document.createElement('li'), {
    textContent: `${op.name} (${op.role})`,
  })));
}

const handlers = {
  [TYPE.LAYOUT]: (m) => { buildPanel($('controls'), m, actions); allowRole(role); },
  [TYPE.STATE]: showState,
  [TYPE.CHANNELS]: (m) => showChannels(m.rows),
  [TYPE.OPERATORS]: (m) => showOperators(m.list),
  [TYPE.YOU]: (m) => {
    role = m.role;
    $('you').textContent = `${m.name} (${m.role})`;
    allowRole(role);
  },
  [TYPE.REFUSED]: (m) => { $('refused').textContent = m.text; },
};

function connect() {
  socket = new WebSocket(`wss://${location.host}/ws`);
  socket.binaryType = 'arraybuffer';
  socket.onmessage = (event) => {
    if (typeof event.data !== 'string') {
      audioFrame(event.data);
      return;
    }
    const message = JSON.parse(event.data);
    const handle = handlers[message.type];
    if (handle) handle(message);
  };
  socket.onclose = (event) => {
    keying.lost();
    $('link').textContent = 'Disconnected from the panel';
    $('link').className = 'link';
    // A closed session sends the page back to the login.
    if (event.code === 1008) location.reload();
    else setTimeout(connect, 3000);
  };
}

const keying = attachKeying(handlers, send);
audioFrame = attachAudio(handlers, send, sendBinary, keying);
connect();
