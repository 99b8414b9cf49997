// Keying from the page: Xmit is held to talk (pointer or Space) and let go
// to listen; "Latch transmit" keeps it keyed without holding, after a
// confirm. While keyed the page says it is still there every 500 ms: the
// server unkeys a page that falls silent for 2 s, so a frozen tab, a lost
// link or a closed lid cannot keep the transmitter on the air. A key that
// ends for any reason but the operator's own release says why, so nobody
// talks on into a transmitter that is no longer keyed.
import { COMMAND, TYPE } from '/messages.js';

const BEAT_MS = 500;
const SMALLEST_TARGET = '44px';
const NOBODY = 'nobody';
// The station's word for this page's own release: no news to the operator.
const OWN_RELEASE = 'web unkey';

function makeButton(id, text) {
  const button = document.createElement('button');
  button.type = 'button';
  button.id = id;
  button.textContent = text;
  button.setAttribute('aria-label', text);
  button.style.minWidth = SMALLEST_TARGET;
  button.style.minHeight = SMALLEST_TARGET;
  return button;
}

function makeLatch() {
  const label = document.createElement('label');
  const box = document.createElement('input');
  box.type = 'checkbox';
  box.id = 'latch';
  box.style.minWidth = SMALLEST_TARGET;
  box.style.minHeight = SMALLEST_TARGET;
  label.append(box, ' Latch transmit');
  return { label, box };
}

function makeHolder() {
  const line = document.createElement('p');
  const holder = document.createElement('span');
  holder.id = 'holder';
  holder.textContent = NOBODY;
  line.setAttribute('aria-live', 'polite');
  line.append('Transmitter held by: ', holder);
  return { line, holder };
}

function makeEndedLine() {
  const line = document.createElement('p');
  line.id = 'key-ended';
  line.className = 'key-ended';
  line.setAttribute('role', 'alert');
  return line;
}

// handlers: the page's message handlers by type, to which "holder" is
// added and "you" chained; send: sends one command to the server. Returns
// talking(): whether this page keys and its operator holds the transmitter,
// the time for its microphone; and lost(), for the page's connection gone.
export function attachKeying(handlers, send) {
  const root = document.getElementById('keying');
  if (!root) return { talking: () => false, lost: () => {} };
  const xmit = makeButton('xmit', 'Xmit');
  const receive = makeButton('receive', 'Receive');
  const latch = makeLatch();
  const holder = makeHolder();
  const ended = makeEndedLine();
  root.replaceChildren(xmit, latch.label, receive, holder.line, ended);
  // Shown to every role, and usable by the transmit role only, as the
  // panel's other controls are.
  const mayKey = (allowed) => {
    for (const control of [xmit, receive, latch.box]) control.disabled = !allowed;
  };
  mayKey(false);

  let me = '';
  let holderText = '';
  let pressed = false;
  let latched = false;
  let beat = null;

  // Another tab of this operator beats too; the server hears only the
  // page that keyed.
  const holding = () => pressed || latched || (me !== '' && holderText.startsWith(`${me} (web`));

  function update() {
    const keyed = holding();
    xmit.setAttribute('aria-pressed', String(pressed || latched));
    if (keyed && !beat) beat = setInterval(() => send({ command: COMMAND.BEAT }), BEAT_MS);
    if (!keyed && beat) {
      clearInterval(beat);
      beat = null;
    }
  }

  function tellEnded(why) {
    ended.textContent = `Transmit ended: ${why}. Press Xmit again to talk.`;
  }

  function key() {
    if (pressed || latched) return;
    ended.textContent = '';
    pressed = true;
    send({ command: COMMAND.KEY });
    update();
  }

  // `why`: what ended the press, when it was not the operator letting go.
  function unkey(why) {
    if (!pressed) return;
    pressed = false;
    if (!latched) send({ command: COMMAND.UNKEY });
    if (why && !latched) tellEnded(why);
    update();
  }

  function unlatch() {
    latched = false;
    latch.box.checked = false;
  }

  // A hidden or closing page lets go of everything it keyed.
  function letGo(why) {
    const keyed = pressed || latched;
    if (keyed) send({ command: COMMAND.UNKEY });
    pressed = false;
    unlatch();
    if (keyed) tellEnded(why);
    update();
  }

  xmit.addEventListener('pointerdown', (event) => {
    if (event.button !== 0) return;
    event.preventDefault();
    // Held even when the pointer slides off the button; let go anywhere.
    try {
      xmit.setPointerCapture(event.pointerId);
    } catch (e) {
      // Capture is a nicety; the key must not depend on it.
    }
    key();
  });
  // Only the operator's own release is silent; the browser taking the
  // touch (a scroll, a gesture) or the focus going elsewhere is said.
  xmit.addEventListener('pointerup', () => unkey());
  xmit.addEventListener('pointercancel', () => unkey('the browser took the press away'));
  xmit.addEventListener('lostpointercapture', () => unkey('the press was lost'));
  xmit.addEventListener('blur', () => unkey('the page lost the focus'));
  xmit.addEventListener('keydown', (event) => {
    if (event.code !== 'Space') return;
    event.preventDefault();
    if (!event.repeat) key();
  });
  xmit.addEventListener('keyup', (event) => {
    if (event.code !== 'Space') return;
    event.preventDefault();
    unkey();
  });
  xmit.addEventListener('contextmenu', (event) => event.preventDefault());

  latch.box.addEventListener('change', () => {
    if (!latch.box.checked) {
      latched = false;
      if (!pressed) send({ command: COMMAND.UNKEY });
    } else if (window.confirm('Latch transmit on? The transmitter stays keyed until you clear Latch transmit or press Receive.')) {
      latched = true;
      if (!pressed) send({ command: COMMAND.KEY });
    } else {
      latch.box.checked = false;
    }
    update();
  });

  receive.addEventListener('click', () => {
    pressed = false;
    unlatch();
    send({ command: COMMAND.PRESS, control: 'receive' });
    update();
  });

  document.addEventListener('visibilitychange', () => {
    if (document.hidden) letGo('the page was hidden');
  });
  window.addEventListener('pagehide', () => letGo('the page was closed'));

  const shownBefore = handlers[TYPE.YOU];
  handlers[TYPE.YOU] = (message) => {
    me = message.name;
    mayKey(message.role === 'transmit');
    if (shownBefore) shownBefore(message);
  };
  handlers[TYPE.HOLDER] = (message) => {
    const ours = me !== '' && holderText.startsWith(`${me} (web`);
    holderText = message.text;
    holder.holder.textContent = message.text || NOBODY;
    // Ended by the server (a watchdog, a silence, someone's Receive) while
    // this page still meant to talk: the press and the latch are over.
    if (message.text === '' && ours && (pressed || latched)) {
      if (message.ended && message.ended !== OWN_RELEASE) tellEnded(message.ended);
      pressed = false;
    }
    if (message.text === '' && latched) unlatch();
    update();
  };
  // The station unkeys a page whose connection went; this page says so.
  const lost = () => letGo('the connection to the station was lost');
  return { talking: () => (pressed || latched) && me !== '' && holderText.startsWith(`${me} (web`), lost };
}
