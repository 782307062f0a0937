// The bundled example: the IEPE accelerometer of examples/accelerometer.hex.
export const exampleImage =
  'memory: 2D12C066440819001000EC041A89C9426793D5160C0042524B542D37000000000000000000000000\n' +
  'register: 12C0664408190010\n';
