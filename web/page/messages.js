// The messages between this page and the panel, each named once here; the
// panel names them once too, in webmessages.h.

// What the page asks, as its "command".
export const COMMAND = Object.freeze({
  PRESS: 'press', ENTER: 'enter', CHOOSE: 'choose', RECALL: 'recall',
  KEY: 'key', UNKEY: 'unkey', BEAT: 'beat', LISTEN: 'listen',
});

// What the page is told, as its "type".
export const TYPE = Object.freeze({
  YOU: 'you', LAYOUT: 'layout', STATE: 'state', CHANNELS: 'channels',
  OPERATORS: 'operators', REFUSED: 'refused', HOLDER: 'holder', AUDIO: 'audio',
});
