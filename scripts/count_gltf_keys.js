// Prints the number of keys of a glTF file's first animation: the sum of its samplers'
// key-time counts.
'use strict';
const fs = require('fs');
const doc = JSON.parse(fs.readFileSync(process.argv[2]));
const animation = (doc.animations || [])[0];
let keys = 0;
if (animation) for (const sampler of animation.samplers) keys += doc.accessors[sampler.input].count;
console.log(keys);
