# Builds a small keyframed scene and exports it as glTF with CUBICSPLINE samplers.
# Run: blender --background --factory-startup --python tests/data/blender/make_keyframed.py -- OUTDIR
import math
import os
import sys

import bpy
from mathutils import Euler, Quaternion

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from blender_scene import empty_scene, export_as_authored, key, output_folder  # noqa: E402

outdir = output_folder()
scene = empty_scene(48)

# An empty keeps the file small: no mesh buffers, only animation data.
box = bpy.data.objects.new("Box", None)
scene.collection.objects.link(box)
box.rotation_mode = "QUATERNION"

quarter = math.radians(90.0)
turn_z = Quaternion((0.0, 0.0, 1.0), quarter)
# Second turn about another axis, so later keys mix all four components.
turn_zx = Quaternion((1.0, 0.0, 0.0), quarter) @ turn_z
turn_back = Quaternion((0.0, 1.0, 0.0), math.radians(-45.0)) @ turn_z

box_keys = [
    (1, (0.0, 0.0, 0.0), Quaternion(), (1.0, 1.0, 1.0)),
    (12, (2.0, 0.5, 1.0), turn_z, (1.5, 1.0, 0.5)),
    (30, (3.0, -1.0, 2.5), turn_zx, (0.75, 2.0, 1.25)),
    (48, (1.0, 1.5, 0.0), turn_back, (1.0, 0.5, 2.0)),
]
for frame, loc, rot, scale in box_keys:
    key(box, "location", frame, loc)
    key(box, "rotation_quaternion", frame, rot)
    key(box, "scale", frame, scale)

arm = bpy.data.objects.new("Arm", None)
scene.collection.objects.link(arm)
arm.location = (0.0, 0.0, 2.0)
arm.rotation_mode = "XYZ"
for frame, degrees in [(1, (0.0, 0.0, 0.0)), (20, (45.0, 0.0, 10.0)), (40, (0.0, -30.0, 20.0))]:
    key(arm, "rotation_euler", frame, Euler([math.radians(d) for d in degrees], "XYZ"))

# Only Bezier keys become CUBICSPLINE; fail loudly if the insert defaults differ.
for obj in (box, arm):
    for fc in obj.animation_data.action.fcurves:
        for kp in fc.keyframe_points:
            assert kp.interpolation == "BEZIER", (obj.name, fc.data_path)
            assert kp.handle_left_type == "AUTO_CLAMPED", (obj.name, fc.data_path)

export_as_authored(
    os.path.join(outdir, "keyframed.gltf"),
    # One animation holding both objects' channels.
    export_nla_strips=False,
    export_nla_strips_merged_animation_name="Keyframed",
)
